#pragma once

// Settings of the whole process that printing relies on for its speed. The program and every
// tool that prints call this first thing in main(), before any thread starts.
namespace ProcessTuning {

void apply();

} // namespace ProcessTuning
