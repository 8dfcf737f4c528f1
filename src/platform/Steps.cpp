#include "platform/Steps.h"

#include <utility>

#include "platform/MessageDialog.h"

Steps::Steps(Reporter reporter)
    : m_reporter(std::move(reporter))
{
}

Steps Steps::silent()
{
    return Steps([](const RuntimeError&) { return int(Msg::Ignore); });
}

bool Steps::run(const Step& step)
{
    for (;;) {
        try {
            step();
            return true;
        } catch (const RuntimeError& error) {
            m_lastError = error;
            m_lastAnswer = m_reporter(error);
            if (m_lastAnswer == Msg::Retry)
                continue;
            return m_lastAnswer == Msg::Ignore;
        }
    }
}

bool Steps::runAll(std::initializer_list<Step> steps)
{
    for (const Step& step : steps) {
        if (!run(step))
            return false;
    }
    return true;
}
