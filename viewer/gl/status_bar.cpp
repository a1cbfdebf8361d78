#include "viewer/gl/status_bar.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>

COpWordPane::COpWordPane(QWidget* parent) : QWidget(parent) {}

void COpWordPane::SetOpMode(int mode) {
  if (mode == m_nMode) return;
  m_nMode = mode;
  update();
}

QSize COpWordPane::sizeHint() const {
  const QFontMetrics fm(font());
  return QSize(fm.horizontalAdvance(QStringLiteral("上へ移動↑")) + 8, fm.height());
}

void COpWordPane::paintEvent(QPaintEvent*) {
  QString word, arrow;
  if (!CPStatusBar::OpWord(m_nMode, word, arrow)) return;
  QPainter p(this);
  p.setBackgroundMode(Qt::TransparentMode);
  const QFontMetrics fm(font());
  const int baseline = fm.ascent();
  p.setPen(Qt::black);
  p.drawText(0, baseline, word);
  p.setPen(QColor(255, 0, 0));
  p.drawText(fm.horizontalAdvance(word), baseline, arrow);
}

CPStatusBar::CPStatusBar(int wordPaneWidth, QWidget* parent) : QStatusBar(parent) {
  m_pWord = new COpWordPane(this);
  if (wordPaneWidth > 0) {
    m_pWord->setFixedWidth(wordPaneWidth);
    addWidget(m_pWord, 0);
  } else {
    addWidget(m_pWord, 1);
  }
  m_panes.push_back(m_pWord);
  m_pWord->installEventFilter(this);
  // Created hidden; the frame shows it while a file loads.
  m_pProgress = new QProgressBar(this);
  m_pProgress->setRange(0, 100);
  m_pProgress->setTextVisible(false);
  m_pProgress->hide();
}

bool CPStatusBar::OpWord(int mode, QString& word, QString& arrow) {
  word.clear();
  arrow.clear();
  if (mode == -1) return false;
  struct Entry {
    int mode;
    const char* word;
    const char* arrow;
  };
  static const Entry kWords[] = {
      {1, "前進", "↑"},      {2, "後退", "↓"},      {11, "上へ移動", "↑"}, {12, "下へ移動", "↓"},
      {13, "左へ移動", "←"}, {14, "右へ移動", "→"}, {21, "上を見る", "↑"}, {22, "下を見る", "↓"},
      {23, "左を見る", "←"}, {24, "右を見る", "→"},
  };
  for (const Entry& e : kWords) {
    if (e.mode == mode) {
      word = QString::fromUtf8(e.word);
      arrow = QString::fromUtf8(e.arrow);
      break;
    }
  }
  return true;
}

int CPStatusBar::AddPane(const QString& text, int width, bool permanent) {
  auto* label = new QLabel(text, this);
  if (width > 0) label->setFixedWidth(width);
  if (permanent)
    addPermanentWidget(label, 0);
  else
    addWidget(label, 0);
  m_panes.push_back(label);
  label->installEventFilter(this);
  PlaceProgress();
  return static_cast<int>(m_panes.size()) - 1;
}

QWidget* CPStatusBar::Pane(int index) const {
  if (index < 0 || index >= static_cast<int>(m_panes.size())) return nullptr;
  return m_panes[static_cast<size_t>(index)];
}

bool CPStatusBar::SetOpMode(int mode) {
  if (mode == m_pWord->OpMode()) return false;
  m_pWord->SetOpMode(mode);
  return true;
}

void CPStatusBar::AddLockPanes() {
  if (m_lockPanes[0] >= 0) return;
  static const char* const kTexts[3] = {"CAP", "NUM", "SCRL"};
  for (int i = 0; i < 3; ++i) m_lockPanes[i] = AddPane(QString::fromLatin1(kTexts[i]), 0, true);
  UpdateLockPanes();
  // A lock may change while another program has the keyboard.
  m_lockTimer.setInterval(1000);
  connect(&m_lockTimer, &QTimer::timeout, this, &CPStatusBar::UpdateLockPanes);
  m_lockTimer.start();
  qApp->installEventFilter(this);
}

void CPStatusBar::UpdateLockPanes() {
  m_bLockUpdatePending = false;
  const LockKeyState state = ReadLockKeys();
  for (int i = 0; i < 3; ++i)
    if (QWidget* pane = Pane(m_lockPanes[i])) pane->setEnabled(state.on[i] == 1);
}

void CPStatusBar::SetProgressPane(int pane) {
  m_nProgressPane = Pane(pane) ? pane : -1;
  PlaceProgress();
}

void CPStatusBar::ShowProgress(bool show) {
  PlaceProgress();
  m_pProgress->setVisible(show);
  if (show) m_pProgress->raise();
}

void CPStatusBar::PlaceProgress() {
  if (!m_pProgress) return;
  if (QWidget* pane = Pane(m_nProgressPane)) m_pProgress->setGeometry(pane->geometry());
}

void CPStatusBar::resizeEvent(QResizeEvent* event) {
  QStatusBar::resizeEvent(event);
  PlaceProgress();
}

void CPStatusBar::showEvent(QShowEvent* event) {
  QStatusBar::showEvent(event);
  PlaceProgress();
}

bool CPStatusBar::eventFilter(QObject* watched, QEvent* event) {
  // A key that may have toggled a lock: one reading once the key has been
  // handled, however many widgets the event passed through.
  const QEvent::Type t = event->type();
  if ((t == QEvent::KeyRelease || t == QEvent::KeyPress || t == QEvent::ApplicationActivate) &&
      m_lockPanes[0] >= 0 && !m_bLockUpdatePending) {
    m_bLockUpdatePending = true;
    QTimer::singleShot(0, this, &CPStatusBar::UpdateLockPanes);
  }
  // The panes get their places from the bar's layout after the bar itself
  // was resized: follow the pane the progress bar covers.
  if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) &&
      watched == Pane(m_nProgressPane))
    PlaceProgress();
  return QStatusBar::eventFilter(watched, event);
}
