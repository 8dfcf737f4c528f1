#pragma once

// Header only: the fixture of the sender's tests on a demo database of their own.
#include <functional>

#include <QDir>

#include "formhelpers/FormularioModal.h"
#include "formhelpers/FrmMsgBox.h"
#include "platform/qt/CurlHttp.h"
#include "platform/qt/CurlMail.h"
#include "sending/ConfiguracionEnvio.h"
#include "sending/eMailAux.h"
#include "services/VariablesInicio.h"
#include "support/DemoDatabaseTest.h"
#include "support/FakeDialogs.h"
#include "support/SmtpPeer.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

// Timed notices are recorded, never waited for; any other modal form runs the scripted step.
class ModalesGuionados final : public FormularioModal
{
public:
    QStringList avisos;
    std::function<void(QDialog&)> paso;
    int muestra(QDialog& form) override
    {
        if (auto* aviso = qobject_cast<FrmMsgBox*>(&form)) {
            avisos << aviso->Titulo + QStringLiteral(" | ") + aviso->Mensaje;
            return QDialog::Accepted;
        }
        if (!paso) {
            ADD_FAILURE() << "modal form without a scripted step";
            return QDialog::Rejected;
        }
        paso(form);
        return form.result();
    }
};

class CorreoTest : public testsupport::DemoDatabaseTest
{
protected:
    void SetUp() override
    {
        DemoDatabaseTest::SetUp();
        abrePrincipal();
        m_inicio.gUsuarioLogeado = QStringLiteral("ADMIN");
        m_objects.gDB.gUsuario = QStringLiteral("ADMIN");
        QDir(m_dir.path()).mkdir(QStringLiteral("tmp"));
        testsupport::environment().setVariable(QStringLiteral("TEMP"), temporal());
        ConfiguracionEnvio::olvidaAvisos();
        eMailAux::gResultadoEnvio = 0;
        eMailAux::gDestinatarios.clear();
        // The demo's own account, pointed at the loopback.
        exec(QStringLiteral("UPDATE TA_USUARIOS SET email_ServerOtro = '127.0.0.1'"));
    }

    QString temporal() const { return m_dir.filePath(QStringLiteral("tmp")); }

    // Sets a configuration key (group DATOS).
    void config(const QString& clave, const QString& valor)
    {
        exec(QStringLiteral("DELETE FROM ta_configuracion WHERE CLAVE = '") + clave.toUpper()
            + u'\'');
        exec(QStringLiteral("INSERT INTO ta_configuracion (GRUPO, CLAVE, VALOR) VALUES "
                            "('DATOS', '")
            + clave.toUpper() + QStringLiteral("', '") + valor + QStringLiteral("')"));
    }

    // Rows of the send log, each "Status|CuentaEmail|Tipo|Para".
    QStringList registro()
    {
        QStringList filas;
        AdoRecordset rs;
        gDB().AbrirRecordset(QStringLiteral("select * from v_ma_emailmov order by ID"), rs);
        while (!rs.Eof()) {
            QStringList f;
            for (const char* c : { "Status", "CuentaEmail", "Tipo", "Para" })
                f << rs.Fields(QString::fromLatin1(c)).Value().toString();
            filas << f.join(u'|');
            rs.MoveNext();
        }
        gDB().CierraRecordset(rs);
        return filas;
    }

    // A file of `bytes` in the test's folder.
    QString archivo(const QString& nombre, const QByteArray& bytes)
    {
        const QString ruta = m_dir.filePath(nombre);
        testsupport::writeFile(ruta, bytes);
        return ruta;
    }

    // The settings file with the test's TLS choices, in the program folder.
    void envioIni(const QString& ca, bool verifica = true, bool sinTls = false)
    {
        ConfiguracionEnvio c;
        c.certificadosCA = ca;
        c.verificarCertificados = verifica;
        c.permitirSinTls = sinTls;
        ASSERT_TRUE(c.guarda());
    }

    VariablesInicio m_inicio;
    ScopedService<VariablesInicio> m_inicioService { m_inicio };
    CurlMailFactory m_correo;
    ScopedService<MailFactory> m_correoService { m_correo };
    ModalesGuionados m_modales;
    ScopedService<FormularioModal> m_modalesService { m_modales };
};

// The sender's uploads: the statistics database open (customer code), a data folder of the test's
// own and HTTPS through libcurl.
class DocumentosTest : public CorreoTest
{
protected:
    void SetUp() override
    {
        CorreoTest::SetUp();
        abreEstadisticas();
        testsupport::environment().setVariable(
            QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("datos")));
    }

    // `nombre` in the program's data folder.
    QString datos(const QString& nombre) const
    {
        return m_dir.filePath(QStringLiteral("datos/Rp_Tarifolio/") + nombre);
    }

    CurlHttpFactory m_http;
    ScopedService<HttpFactory> m_httpService { m_http };
};
