#include "platform/Clock.h"

#include "platform/Service.h"

QDateTime Now()
{
    return Service<Clock>::get().now();
}

QDate Today()
{
    return Now().date();
}

QDateTime NowOrSystemTime()
{
    return Service<Clock>::installed() ? Now() : QDateTime::currentDateTime();
}
