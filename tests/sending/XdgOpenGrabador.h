#pragma once

// Header only: a recording "xdg-open" first on PATH, for the sender's tests.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "support/TestFiles.h"

// While it lives, "xdg-open" is a script that appends its argument, one per line, to a file of its
// own instead of opening anything.
class XdgOpenGrabador
{
public:
    XdgOpenGrabador()
        : m_path(qgetenv("PATH"))
    {
        const QString script = m_dir.filePath(QStringLiteral("xdg-open"));
        testsupport::writeFile(
            script, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + archivo().toUtf8() + "'\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", QFile::encodeName(m_dir.path()) + ':' + m_path);
    }
    ~XdgOpenGrabador() { qputenv("PATH", m_path); }

    // What was opened, once `cuantos` openings have been recorded (they run apart from the test).
    QStringList abiertos(int cuantos) const
    {
        QStringList lineas;
        [[maybe_unused]] const bool completos = QTest::qWaitFor(
            [&] {
                lineas = QString::fromUtf8(testsupport::readFile(archivo()))
                             .split(u'\n', Qt::SkipEmptyParts);
                return lineas.size() >= cuantos;
            },
            20000);
        return lineas;
    }

private:
    QString archivo() const { return m_dir.filePath(QStringLiteral("abiertos.txt")); }

    QTemporaryDir m_dir;
    QByteArray m_path;
};
