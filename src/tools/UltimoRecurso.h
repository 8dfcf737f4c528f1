#pragma once

#include <cstdio>
#include <exception>

// A tool's last handler: an error no step of the tool caught is told on its error output and the
// tool ends with a failure status, where it would abort without a word of what it was doing.
// One thrown by an event handler is told the same way by AplicacionConUltimoRecurso.
template <typename Cuerpo> int conUltimoRecurso(Cuerpo&& cuerpo) noexcept
{
    try {
        return cuerpo();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Error no previsto: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "Error no previsto\n");
    }
    std::fflush(stderr);
    return 3;
}
