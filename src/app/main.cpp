#include <QApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Rp_Tarifolio"));
    QTextStream(stdout) << "Rp_Tarifolio: the start-up procedure is not wired yet; exiting.\n";
    return 0;
}
