// ov_first_picture: starts a program (Ostrel with a model, say) and watches
// the screen until it stops changing; prints the time from the start to the
// last change, which is when the first picture of the model was complete.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build-bench/bench/ov_first_picture
//       [--settle SECONDS] [--shot FILE.png] PROGRAM ARGS...
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QThread>
#include <cstdio>

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  double settle = 8.0;
  QString shot;
  int first = 1;
  while (first < argc && argv[first][0] == '-' && argv[first][1] == '-') {
    const QString opt = argv[first];
    if (opt == "--settle" && first + 1 < argc) {
      settle = QString(argv[first + 1]).toDouble();
      first += 2;
    } else if (opt == "--shot" && first + 1 < argc) {
      shot = argv[first + 1];
      first += 2;
    } else {
      break;
    }
  }
  if (first >= argc) {
    std::fprintf(stderr, "usage: ov_first_picture [--settle SECONDS] [--shot FILE.png] PROGRAM ARGS...\n");
    return 2;
  }
  QStringList args;
  for (int i = first + 1; i < argc; ++i) args << argv[i];

  QScreen* screen = QGuiApplication::primaryScreen();
  const QImage empty = screen->grabWindow(0).toImage();
  QElapsedTimer clock;
  clock.start();
  QProcess program;
  program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  program.start(argv[first], args);
  if (!program.waitForStarted()) {
    std::fprintf(stderr, "cannot start %s\n", argv[first]);
    return 2;
  }
  QImage last = empty;
  qint64 lastChange = -1;
  int changes = 0;
  while (program.state() == QProcess::Running) {
    const QImage now = screen->grabWindow(0).toImage();
    const qint64 ms = clock.elapsed();
    if (now != last) {
      last = now;
      lastChange = ms;
      ++changes;
    } else if (lastChange >= 0 && ms - lastChange > static_cast<qint64>(settle * 1000)) {
      break;
    }
    QThread::msleep(20);
  }
  program.kill();
  program.waitForFinished();
  if (!shot.isEmpty()) last.save(shot);
  std::printf("screen settled %.2f s after the start (%d changes)\n", lastChange / 1000.0, changes);
  return lastChange >= 0 ? 0 : 1;
}
