// The application's entry: choose the data root, start up, run the event loop.
#include "startup.h"
#include "utils.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

namespace {
// The data root: --root DIR, else KRA_ROOT, else the build's default.
void chooseRoot(int argc, char **argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (strcmp(argv[i], "--root") == 0) {
            kra_set_root(QString::fromLocal8Bit(argv[i + 1]));
            return;
        }
    }
    const QByteArray env = qgetenv("KRA_ROOT");
    if (!env.isEmpty())
        kra_set_root(QString::fromLocal8Bit(env));
}
} // namespace

int main(int argc, char **argv)
{
    chooseRoot(argc, argv);
    QApplication app(argc, argv);
    kra_start_up(KraRun::Application);
    printf("kraQ71N running, data root %s\n", qPrintable(kra_root()));
    fflush(stdout);
    return app.exec();
}
