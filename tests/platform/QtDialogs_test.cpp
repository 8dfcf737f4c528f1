#include <algorithm>

#include <QAbstractButton>
#include <QAbstractProxyModel>
#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/MessageDialog.h"
#include "platform/qt/FechasDialogoArchivo.h"
#include "platform/qt/QtFileDialog.h"
#include "platform/qt/QtMessageDialog.h"
#include "platform/qt/QtPrintDialog.h"
#include "support/CupsPrivado.h"

TEST(QtMessageDialog, style_numbers_give_buttons_icon_and_default)
{
    struct Row
    {
        int style;
        QMessageBox::StandardButtons buttons;
        QMessageBox::Icon icon;
        QMessageBox::StandardButton defaultButton;
        QMessageBox::StandardButton escape;
    };
    const Row rows[] = {
        { 0, QMessageBox::Ok, QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok },
        { 1 + 48, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Warning, QMessageBox::Ok,
            QMessageBox::Cancel },
        { 2 + 16, QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore,
            QMessageBox::Critical, QMessageBox::Abort, QMessageBox::NoButton },
        { 3 + 32 + 512, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
            QMessageBox::Question, QMessageBox::Cancel, QMessageBox::Cancel },
        { 4 + 32 + 256, QMessageBox::Yes | QMessageBox::No, QMessageBox::Question, QMessageBox::No,
            QMessageBox::No },
        { 5 + 64, QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Information,
            QMessageBox::Retry, QMessageBox::Cancel },
    };
    for (const Row& row : rows) {
        QMessageBox box;

        QtMessageDialog::prepare(
            box, QStringLiteral("<b>texto</b>"), row.style, QStringLiteral("Aviso al Operador"));

        EXPECT_EQ(box.standardButtons(), row.buttons) << row.style;
        EXPECT_EQ(box.icon(), row.icon) << row.style;
        EXPECT_EQ(box.standardButton(box.defaultButton()), row.defaultButton) << row.style;
        EXPECT_EQ(
            box.escapeButton() ? box.standardButton(box.escapeButton()) : QMessageBox::NoButton,
            row.escape)
            << row.style;
        EXPECT_EQ(box.windowTitle(), QStringLiteral("Aviso al Operador"));
        EXPECT_EQ(box.textFormat(), Qt::PlainText);
    }
}

TEST(QtMessageDialog, clicked_buttons_give_the_answer_codes)
{
    struct Row
    {
        int style;
        QMessageBox::StandardButton button;
        int answer;
    };
    const Row rows[] = {
        { 0, QMessageBox::Ok, Msg::Ok },
        { 2, QMessageBox::Abort, Msg::Abort },
        { 2, QMessageBox::Retry, Msg::Retry },
        { 2, QMessageBox::Ignore, Msg::Ignore },
        { 4, QMessageBox::Yes, Msg::Yes },
        { 4, QMessageBox::No, Msg::No },
        { 3, QMessageBox::Cancel, Msg::Cancel },
    };
    for (const Row& row : rows) {
        QMessageBox box;
        QtMessageDialog::prepare(box, QStringLiteral("x"), row.style, QString());

        box.button(row.button)->click();

        EXPECT_EQ(QtMessageDialog::answerOf(box, row.style), row.answer) << row.style;
        EXPECT_EQ(box.windowTitle(), QStringLiteral("Rp_Tarifolio"));
    }
}

// The window manager writes the title in bold beside the window's icon and buttons: a box with a
// short text is still wide enough for the whole title.
TEST(QtMessageDialog, a_box_is_wide_enough_for_its_title)
{
    const struct
    {
        const char* text;
        const char* title;
    } rows[] = {
        { "Depósito inexistente.", "Aviso al usuario" },
        { "Listo.", "Aviso al Operador: la lista de precios no se pudo enviar" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.title);
        QMessageBox box;
        QtMessageDialog::prepare(
            box, QString::fromUtf8(row.text), 64, QString::fromUtf8(row.title));

        box.show();
        QApplication::processEvents();

        QFont bold = box.font();
        bold.setBold(true);
        const QFontMetrics metrics(bold);
        // The title, and the title bar's icon and three buttons, each about two lines of text
        // wide; never more than three quarters of the screen.
        const int room = std::min(
            metrics.horizontalAdvance(QString::fromUtf8(row.title)) + 8 * metrics.height(),
            box.screen()->availableGeometry().width() * 3 / 4);
        EXPECT_GE(box.width(), room);
        box.close();
    }
}

// Qt 6.4 refused every page list ("5", "5,7-8") as badly written: a well-written one prints
// those pages, a badly written one is still refused with Qt's message.
TEST(QtPrintDialog, a_page_list_prints_those_pages)
{
    testsupport::CupsPrivado cups;
    if (!cups.iniciado()) {
        // A build service has its print server: a missing one there is a failure, not a skip.
        ASSERT_NE(qEnvironmentVariable("CI"), QStringLiteral("true"))
            << cups.motivo().toStdString();
        GTEST_SKIP() << "no print server here: " << cups.motivo().toStdString();
    }
    const struct
    {
        const char* lista;
        QList<QPair<int, int>> paginas; // empty: refused
    } rows[] = {
        { "5", { { 5, 5 } } },
        { "5,7-8", { { 5, 5 }, { 7, 8 } } },
        { "5;x", {} },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.lista);
        QPrinter printer(QPrinter::HighResolution);
        PageListPrintDialog dialog(&printer);
        dialog.setMinMax(1, 20);
        dialog.show();
        auto* lista = dialog.findChild<QRadioButton*>(QStringLiteral("pagesRadioButton"));
        ASSERT_TRUE(lista && lista->isEnabled()) << "the queue takes no page list";
        lista->setChecked(true);
        dialog.findChild<QLineEdit*>(QStringLiteral("pagesLineEdit"))
            ->setText(QString::fromLatin1(row.lista));
        QString refusal;
        QTimer boxes;
        QObject::connect(&boxes, &QTimer::timeout, &boxes, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                refusal = box->windowTitle();
                box->reject();
            }
        });
        boxes.start(20);

        dialog.accept();

        boxes.stop();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, !row.paginas.isEmpty())
            << refusal.toStdString();
        EXPECT_EQ(refusal.isEmpty(), !row.paginas.isEmpty());
        if (!row.paginas.isEmpty()) {
            EXPECT_EQ(QtPrintDialog::choiceOf(printer).pages, row.paginas);
        }
    }
}

TEST(QtFileDialog, the_programs_filters_become_qt_name_filters)
{
    EXPECT_EQ(QtFileDialog::nameFilters(QStringLiteral("Imagenes|*.jpg;*.png|Todos|*.*")),
        (QStringList { "Imagenes (*.jpg *.png)", "Todos (*)" }));
    EXPECT_EQ(QtFileDialog::nameFilters(QStringLiteral("Todos los archivos (*.*)|*.*|Archivos HTML "
                                                       "(*.htm;*.html)|*.htm;*.html")),
        (QStringList { "Todos los archivos (*)", "Archivos HTML (*.htm *.html)" }));
    EXPECT_EQ(QtFileDialog::nameFilters(QString()), QStringList());
}

TEST(FechasDialogoArchivo, a_file_dialog_writes_dates_and_sizes_in_the_programs_locale)
{
    // The system's locale here is the build service's ("C"): left alone, Qt would write the
    // date in English.
    QTemporaryDir carpeta;
    ASSERT_TRUE(carpeta.isValid());
    QFile archivo(carpeta.filePath(QStringLiteral("lista.pdf")));
    ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
    archivo.write(QByteArray(2560, 'x'));
    archivo.close();
    FechasDialogoArchivo fechas;
    qApp->installEventFilter(&fechas);
    QFileDialog dialogo(nullptr, QString(), carpeta.path());
    dialogo.setOption(QFileDialog::DontUseNativeDialog);

    dialogo.ensurePolished();

    qApp->removeEventFilter(&fechas);
    QAbstractProxyModel* modelo = dialogo.proxyModel();
    ASSERT_NE(modelo, nullptr);
    auto* archivos = qobject_cast<QFileSystemModel*>(modelo->sourceModel());
    ASSERT_NE(archivos, nullptr);
    const QModelIndex fila = archivos->index(archivo.fileName());
    const QDateTime modificado = QFileInfo(archivo.fileName()).lastModified();
    EXPECT_EQ(modelo->mapFromSource(fila.siblingAtColumn(3)).data().toString(),
        QLocale().toString(modificado, QLocale::ShortFormat));
    EXPECT_EQ(modelo->mapFromSource(fila.siblingAtColumn(1)).data().toString(),
        QStringLiteral("2,50 KiB"));
}
