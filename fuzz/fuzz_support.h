#pragma once

#include <QByteArray>
#include <QCoreApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Shared by the fuzz targets: a Qt application object for the life of the process, and a
// check that stops the run with a message when a property of a reader does not hold.
namespace lumaro::fuzz {

inline void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app = new QCoreApplication(argc, argv);
    (void)app;
}

inline QByteArray BytesOf(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

[[noreturn]] inline void fail(const char *what)
{
    std::fprintf(stderr, "property failed: %s\n", what);
    std::abort();
}

#define LUMARO_FUZZ_CHECK(condition)                                                                                   \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            ::lumaro::fuzz::fail(#condition);                                                                          \
    } while (0)

} // namespace lumaro::fuzz
