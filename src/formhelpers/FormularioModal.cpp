#include "formhelpers/FormularioModal.h"

#include <QDialog>

#include "platform/Service.h"

int FormularioModalQt::muestra(QDialog& form)
{
    return form.exec();
}

int MuestraModal(QDialog& form)
{
    return Service<FormularioModal>::get().muestra(form);
}
