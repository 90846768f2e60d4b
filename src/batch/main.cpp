// tabrinel-batch: runs a project file without a window. See batch_messages.h for the help.
#include "batch/batch_interrupt.h"
#include "batch/batch_run.h"
#include "sheet/local_time_zone.h"
#include "sheet/memory_release.h"

#include <QCoreApplication>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kBarWidth = 30;

// Standard error as the batch console's messages and progress bar. The bar is redrawn in
// place; the next message first ends its line.
class Terminal {
public:
    explicit Terminal(bool showProgress) : showProgress_(showProgress) {}

    batch::BatchConsole console() {
        batch::BatchConsole console;
        console.out = [this](const QString& line) { write(stdout, line); };
        console.error = [this](const QString& line) { write(stderr, line); };
        if (showProgress_)
            console.progress = [this](int percent, const QString& label) { bar(percent, label); };
        return console;
    }

    void endBar() {
        if (!barShown_)
            return;
        std::fputc('\n', stderr);
        barShown_ = false;
    }

private:
    void write(std::FILE* stream, const QString& line) {
        endBar();
        std::fputs(line.toUtf8().constData(), stream);
        std::fputc('\n', stream);
        std::fflush(stream);
    }

    void bar(int percent, const QString& label) {
        // Log lines go to standard output, which may share the terminal with the bar.
        std::fflush(stdout);
        const int filled = qBound(0, percent, 100) * kBarWidth / 100;
        const QByteArray text = QByteArray(filled, '#') + QByteArray(kBarWidth - filled, '.');
        std::fprintf(stderr, "\r[%s] %3d%% %s", text.constData(), percent,
                     label.toUtf8().constData());
        std::fflush(stderr);
        barShown_ = true;
    }

    bool showProgress_;
    bool barShown_ = false;
};

} // namespace

int main(int argc, char** argv) {
    sheet::readLocalTimeZoneOnce();
    sheet::keepFreedMemoryForReuse();
    QCoreApplication application(argc, argv);
    batch::catchInterrupts();
    Terminal terminal(isatty(fileno(stderr)) != 0);
    batch::BatchConsole console = terminal.console();
    const int status = batch::runCommandLine(application.arguments().mid(1), console);
    terminal.endBar();
    return status;
}
