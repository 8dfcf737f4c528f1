#pragma once

#include <map>

#include <QStringList>

#include "platform/RuntimeError.h"
#include "reports/ReportControl.h"

// A report control that writes down every setting in order ("3=path", "29(2)=A='x'", "12()")
// and fails a setting of a given number as often as asked, with run-time error 91.
class RecordingControl final : public ReportControl
{
public:
    QStringList log;
    std::map<int, int> fallas; // setting number -> failures still to come

    void nuevoTrabajo() override { log << QStringLiteral("nuevo"); }
    void set(int id, const Value& value) override
    {
        anota(id, QStringLiteral("%1=%2").arg(id).arg(texto(value)));
    }
    void setIndexed(int id, int index, const Value& value) override
    {
        anota(id, QStringLiteral("%1(%2)=%3").arg(id).arg(index).arg(texto(value)));
    }
    void invoke(int id) override { anota(id, QStringLiteral("%1()").arg(id)); }
    void setByName(const QString& name, const Value& value) override
    {
        log << name + u'=' + texto(value);
    }
    void setDestinoObjeto(int destino) override { m_destino = destino; }
    int destinoObjeto() const override { return m_destino; }
    void setListaFormulas(const QStringList& formulas) override
    {
        log << QStringLiteral("lista=") + formulas.join(u';');
    }
    void setImpresora(const QString& nombre, const QString& complemento) override
    {
        log << QStringLiteral("impresora=") + nombre + u'|' + complemento;
    }
    void finalizaCorrida() override { log << QStringLiteral("fin"); }

private:
    static QString texto(const Value& value)
    {
        if (value.type() == ValueType::Boolean)
            return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        return value.toString();
    }
    void anota(int id, const QString& entrada)
    {
        auto it = fallas.find(id);
        if (it != fallas.end() && it->second > 0) {
            --it->second;
            log << QStringLiteral("falla ") + entrada;
            throw RuntimeError(91, QStringLiteral("Variable de objeto no establecida"));
        }
        log << entrada;
    }

    int m_destino = DestinoPantalla;
};
