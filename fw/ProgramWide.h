#pragma once

#include <QtGlobal>

#include <utility>

namespace fw {

// Access to one of the program-wide objects (the framework application, the machine
// catalogue, the T38A set-up tables, the wait dialog). main() creates each one explicitly,
// in a fixed order, through a Scope; a test creates fresh ones the same way. Nothing is
// constructed as a static, so no construction order across files is ever relied on.
template <class T>
class ProgramWide {
public:
    static T& get()
    {
        Q_ASSERT_X(s_current, "ProgramWide::get", "program-wide object not created");
        return *s_current;
    }
    static bool exists() { return s_current != nullptr; }

    // Makes an object owned elsewhere the program-wide one for the guard's lifetime.
    class Install {
    public:
        explicit Install(T& object)
            : m_previous(s_current)
        {
            s_current = &object;
        }
        ~Install() { s_current = m_previous; }
        Install(const Install&) = delete;
        Install& operator=(const Install&) = delete;

    private:
        T* m_previous;
    };

    // Owns the object and makes it the program-wide one for its lifetime; scopes nest.
    class Scope {
    public:
        template <class... Args>
        explicit Scope(Args&&... args)
            : m_object(std::forward<Args>(args)...)
            , m_install(m_object)
        {
        }

        T& object() { return m_object; }

    private:
        T m_object;
        Install m_install;
    };

private:
    static inline T* s_current = nullptr;
};

} // namespace fw
