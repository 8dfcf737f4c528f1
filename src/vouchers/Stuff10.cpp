#include "vouchers/Stuff10.h"

namespace Stuff10 {

int FuncionVaciaTres(const QString&, const QString&, bool)
{
    return 0;
}

int FuncionVaciaUno(const QString&)
{
    return 0;
}

} // namespace Stuff10
