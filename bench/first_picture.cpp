// ov_first_picture: starts a program (Ostrel with a model, say) with
// OV_FIRST_PICTURE set and waits for the line in which the program itself
// reports that its first complete picture of the model has been swapped;
// prints the time from the start to that line, the program's own split of
// it, and the process's peak resident memory up to then.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build-bench/bench/ov_first_picture
//       [--timeout SECONDS] [--shot FILE.png] PROGRAM ARGS...
//
// Exit status 0 when the report came, 1 when the program ended or the time
// ran out without it, 2 on a usage error.
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScreen>
#include <cstdio>

namespace {

// VmHWM of a running process in MB (-1 when it cannot be read).
double PeakRssMb(qint64 pid) {
  QFile f(QString("/proc/%1/status").arg(pid));
  if (!f.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : f.readAll().split('\n')) {
    if (!line.startsWith("VmHWM:")) continue;
    return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  double timeout = 600.0;
  QString shot;
  int first = 1;
  while (first < argc && argv[first][0] == '-' && argv[first][1] == '-') {
    const QString opt = argv[first];
    if (opt == "--timeout" && first + 1 < argc) {
      timeout = QString(argv[first + 1]).toDouble();
      first += 2;
    } else if (opt == "--shot" && first + 1 < argc) {
      shot = argv[first + 1];
      first += 2;
    } else {
      break;
    }
  }
  if (first >= argc) {
    std::fprintf(stderr,
                 "usage: ov_first_picture [--timeout SECONDS] [--shot FILE.png] PROGRAM ARGS...\n");
    return 2;
  }
  QStringList args;
  for (int i = first + 1; i < argc; ++i) args << argv[i];

  QProcess program;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("OV_FIRST_PICTURE", "1");
  program.setProcessEnvironment(env);
  program.setProcessChannelMode(QProcess::ForwardedOutputChannel);
  program.setReadChannel(QProcess::StandardError);
  QElapsedTimer clock;
  clock.start();
  program.start(argv[first], args);
  if (!program.waitForStarted()) {
    std::fprintf(stderr, "cannot start %s\n", argv[first]);
    return 2;
  }
  QByteArray report;
  double seconds = -1, peakMb = -1;
  while (report.isEmpty() && clock.elapsed() < static_cast<qint64>(timeout * 1000)) {
    if (!program.waitForReadyRead(200)) {
      if (program.state() != QProcess::Running) break;
      continue;
    }
    while (program.canReadLine()) {
      const QByteArray line = program.readLine();
      if (line.startsWith("first picture ")) {
        seconds = clock.elapsed() / 1000.0;
        peakMb = PeakRssMb(program.processId());
        report = line.trimmed();
        break;
      }
      std::fputs(line.constData(), stderr);  // the program's other messages
    }
  }
  if (!report.isEmpty() && !shot.isEmpty())
    QGuiApplication::primaryScreen()->grabWindow(0).toImage().save(shot);
  program.kill();
  program.waitForFinished();
  if (report.isEmpty()) {
    std::printf("no first-picture report after %.2f s\n", clock.elapsed() / 1000.0);
    return 1;
  }
  std::printf("first picture %.2f s after the start, peak RSS %.0f MB (program: %s)\n", seconds,
              peakMb, report.constData());
  return 0;
}
