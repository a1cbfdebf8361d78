#include "modelviewer/qm_dialogs.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "modelviewer/qm_doc.h"
#include "platform/numbers.h"
#include "viewer/color_table.h"

QPointer<CMatColorDlg> g_pMatColorDlg;

namespace {

// OK and Cancel with the system's texts.
QDialogButtonBox* OkCancel(QDialog* dlg) {
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dlg);
  box->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
  QObject::connect(box, &QDialogButtonBox::accepted, dlg, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, dlg, &QDialog::reject);
  return box;
}

// Paints each row of the material list in its material's colour.
class MatColorDelegate : public QStyledItemDelegate {
 public:
  MatColorDelegate(CMatColorList* list) : QStyledItemDelegate(list), m_pList(list) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    s.setHeight(30);
    return s;
  }

  void paint(QPainter* p, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const int i = index.row();
    if (m_pList->Serial() < 0 || i < 0 || i >= m_pList->Count()) return;
    const DispMaterial& m = m_pList->Material(i);
    const QColor colour(std::clamp(static_cast<int>(m.r), 0, 255),
                        std::clamp(static_cast<int>(m.g), 0, 255),
                        std::clamp(static_cast<int>(m.b), 0, 255));
    QRect r = option.rect;
    p->save();
    p->fillRect(r, colour);
    if (option.state & QStyle::State_HasFocus) {
      QPen pen(Qt::black, 1, Qt::DotLine);
      p->setPen(pen);
      p->drawRect(r.adjusted(0, 0, -1, -1));
    }
    r.adjust(1, 1, -1, -1);
    p->setPen(option.palette.color(QPalette::Text));
    p->drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                index.data(Qt::DisplayRole).toString());
    p->restore();
  }

 private:
  CMatColorList* m_pList;
};

}  // namespace

// ---------------------------------------------------------------------------
// CStaticEx

CStaticEx::CStaticEx(QWidget* parent) : QLabel(parent) {
  setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  setMinimumSize(90, 40);
}

void CStaticEx::SetColor(const QColor& color) {
  m_color = color;
  setText(QString::fromStdString(
      plat::Format("%d %d %d", color.red(), color.green(), color.blue())));
}

void CStaticEx::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect r = rect();
  p.fillRect(r, m_color);
  p.setFont(font());
  const Qt::Alignment a = alignment();
  Qt::Alignment h = Qt::AlignLeft;
  if (a & Qt::AlignHCenter) h = Qt::AlignHCenter;
  else if (a & Qt::AlignRight) h = Qt::AlignRight;
  const Qt::Alignment v = (a & Qt::AlignVCenter) ? Qt::AlignVCenter : Qt::AlignTop;
  // Three passes so the numbers read on any colour.
  p.setPen(Qt::black);
  p.drawText(r, static_cast<int>(h | v | Qt::TextSingleLine), text());
  p.setPen(Qt::white);
  p.drawText(r, static_cast<int>(h | Qt::AlignBottom | Qt::TextSingleLine), text());
  p.setPen(QColor(128, 128, 128));
  p.drawText(r, static_cast<int>(h | Qt::AlignVCenter | Qt::TextSingleLine), text());
}

// ---------------------------------------------------------------------------
// CColorsDlg

CColorsDlg::CColorsDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Dialog"));
  auto* layout = new QVBoxLayout(this);
  auto* head = new QHBoxLayout;
  m_pNumber = new QLabel(this);
  m_pNumber->setObjectName(QStringLiteral("static1018"));
  m_pName = new QLabel(this);
  m_pName->setObjectName(QStringLiteral("static1019"));
  head->addWidget(m_pNumber);
  head->addWidget(m_pName, 1);
  layout->addLayout(head);
  auto* grid = new QGridLayout;
  for (int i = 0; i < kSwatches; ++i) {
    auto* s = new CStaticEx(this);
    s->setObjectName(QStringLiteral("static%1").arg(1002 + i));
    m_aSwatch[static_cast<size_t>(i)] = s;
    grid->addWidget(s, i / 4, i % 4);
  }
  layout->addLayout(grid);
  layout->addWidget(OkCancel(this));
}

void CColorsDlg::OnInitDialog() {
  m_pNumber->setText(QString::fromStdString(plat::Format("%d", m_nScheme)));
  m_pName->setText(m_strName);
  for (int i = 0; i < kSwatches; ++i) {
    CStaticEx* s = m_aSwatch[static_cast<size_t>(i)];
    if (m_bShown[static_cast<size_t>(i)]) {
      s->SetColor(m_aColors[static_cast<size_t>(i)]);
      s->setVisible(true);
    } else {
      s->setVisible(false);
    }
  }
}

void CColorsDlg::showEvent(QShowEvent* event) {
  OnInitDialog();
  QDialog::showEvent(event);
}

void PackColorsForDialog(CColorsDlg& dlg, int id, const char* name, const PaletteColor* colors) {
  dlg.m_nScheme = id;
  dlg.m_strName = name ? QString::fromUtf8(name) : QString();
  if (!colors) return;
  for (int i = 0; colors[i].flag != 0; ++i) {
    if (i >= CColorsDlg::kSwatches) continue;  // beyond the sixteenth: not shown
    if (colors[i].flag > 0) {
      dlg.m_aColors[static_cast<size_t>(i)] = QColor(std::clamp(colors[i].r, 0, 255),
                                                     std::clamp(colors[i].g, 0, 255),
                                                     std::clamp(colors[i].b, 0, 255));
      dlg.m_bShown[static_cast<size_t>(i)] = true;
    }
  }
}

void SelectBuiltinPalette(int n, CColorsDlg& dlg) {
  const int count = CountBuiltinPalettes();
  if (count <= 0) return;
  n %= count;
  if (n < 0) n += count;
  const BuiltinPalette& pal = g_BuiltinPalettes[n];
  PackColorsForDialog(dlg, pal.id, pal.name, pal.colors);
}

// ---------------------------------------------------------------------------
// CMatColorList / CMatColorDlg

CMatColorList::CMatColorList(QWidget* parent) : QListWidget(parent) {
  setItemDelegate(new MatColorDelegate(this));
  setUniformItemSizes(true);
}

void CMatColorList::Fill(const QmDoc* doc) {
  clear();
  m_aMats.clear();
  m_bFilled = false;
  if (!doc) {
    m_nSerial = -1;
    return;
  }
  m_nSerial = doc->m_nDocSerial;
  // A document whose load runs is refilled when the load ends.
  if (!doc->m_bReady.load(std::memory_order_acquire)) return;
  const int n = std::min<int>(doc->m_nMats, static_cast<int>(doc->m_aMats.size()));
  m_aMats.assign(doc->m_aMats.begin(), doc->m_aMats.begin() + std::max(0, n));
  for (const DispMaterial& m : m_aMats)
    addItem(QString::fromStdString(plat::Format("  材料:%d", m.nNo)));
  m_bFilled = true;
}

CMatColorDlg::CMatColorDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("材料一覧"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  m_pList = new CMatColorList(this);
  m_pList->setObjectName(QStringLiteral("list1019"));
  layout->addWidget(m_pList);
  layout->addWidget(OkCancel(this));
  resize(220, 360);
  m_pList->Fill(nullptr);
}

void CMatColorDlg::Refresh(const QmDoc* doc) {
  if (doc && doc->m_nDocSerial == m_nSerial && m_pList->Filled()) return;
  m_nSerial = doc ? doc->m_nDocSerial : -1;
  m_pList->Fill(doc);
  update();
}

void CMatColorDlg::DocumentLoaded(const QmDoc* doc) {
  if (doc && doc->m_nDocSerial == m_nSerial) {
    m_pList->Fill(doc);
    update();
  }
}

void CMatColorDlg::Detach(const QmDoc* doc) {
  if (doc && doc->m_nDocSerial == m_nSerial) Refresh(nullptr);
}

// ---------------------------------------------------------------------------
// CEyeDelAllDlg

CEyeDelAllDlg::CEyeDelAllDlg(const QString& message, QWidget* parent)
    : QDialog(parent), m_strMessage(message) {
  setWindowTitle(QStringLiteral("視点登録の全削除"));
  auto* layout = new QVBoxLayout(this);
  auto* msg = new QLabel(m_strMessage, this);
  msg->setObjectName(QStringLiteral("static1000"));
  layout->addWidget(msg);
  auto* ask = new QLabel(QStringLiteral("すべて削除してもよろしいですか。"), this);
  ask->setObjectName(QStringLiteral("static1001"));
  layout->addWidget(ask);
  layout->addWidget(OkCancel(this));
}
