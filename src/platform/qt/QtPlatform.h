#pragma once

#include <memory>

// The real platform: creates every platform implementation and the utility library's objects and
// installs them as the program-wide instances for its lifetime. src/app holds one in main();
// platform tests that need a real piece create that piece alone.
class QtPlatform
{
public:
    QtPlatform();
    ~QtPlatform();
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};
