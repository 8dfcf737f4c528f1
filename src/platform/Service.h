#pragma once

#include <QtGlobal>

// Program-wide objects (the database object, the lookup object, the banner, the report object, the
// utility objects) are reached through Service<T>::get(). src/app installs the real instances at
// start-up; a test installs its own with ScopedService for the length of the test. Nothing is
// created behind the caller's back: asking for an instance nobody installed is a programmer error.
template <typename T> class Service
{
public:
    static T& get()
    {
        Q_ASSERT_X(s_instance, "Service::get", "no instance installed");
        return *s_instance;
    }
    static T* tryGet() { return s_instance; }
    static bool installed() { return s_instance != nullptr; }

    // Installs `instance` (not owned; may be null) and returns the one it replaces.
    static T* install(T* instance)
    {
        T* previous = s_instance;
        s_instance = instance;
        return previous;
    }

private:
    inline static T* s_instance = nullptr;
};

// Installs an instance for the guard's lifetime and puts the previous one back afterwards.
template <typename T> class ScopedService
{
public:
    explicit ScopedService(T* instance)
        : m_previous(Service<T>::install(instance))
    {
    }
    explicit ScopedService(T& instance)
        : ScopedService(&instance)
    {
    }
    ~ScopedService() { Service<T>::install(m_previous); }
    ScopedService(const ScopedService&) = delete;
    ScopedService& operator=(const ScopedService&) = delete;

private:
    T* m_previous;
};
