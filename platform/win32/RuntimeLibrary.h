#pragma once
// A DLL loaded at run time from a given folder (never from the search path, so
// that the program's own copy is the one used), freed when this goes.
#include <QString>
#include <windows.h>

namespace gyro {

class RuntimeLibrary {
public:
    RuntimeLibrary(const QString& folder, const QString& fileName);
    ~RuntimeLibrary();
    RuntimeLibrary(const RuntimeLibrary&) = delete;
    RuntimeLibrary& operator=(const RuntimeLibrary&) = delete;

    bool loaded() const { return module_ != nullptr; }
    const QString& fileName() const { return fileName_; }
    // Why it did not load (the system's words); empty when it did.
    const QString& failure() const { return failure_; }

    // The exported function `name` as type F, or nullptr.
    template <class F> F function(const char* name) const
    {
        if (module_ == nullptr)
            return nullptr;
        return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module_, name)));
    }

private:
    QString fileName_;
    HMODULE module_ = nullptr;
    QString failure_;
};

} // namespace gyro
