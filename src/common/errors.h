#pragma once

#include <QString>

#include <stdexcept>

namespace lumaro {

// Base of every error the engines raise. The text is the Chinese message shown to the user;
// the user-interface guard shows it in a message box, the command line prints it.
class Error : public std::runtime_error {
public:
    explicit Error(const QString &message);
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

// Input the user gave that the program refuses (bad row in a file, bad field, bad name).
class InputError : public Error {
public:
    using Error::Error;
};

// A text that should have been a whole number or a date.
class ConversionError : public Error {
public:
    using Error::Error;
    static ConversionError notInteger(const QString &text);
    static ConversionError notDate(const QString &text);
};

// A file that cannot be created, read or written.
class IoError : public Error {
public:
    IoError(const QString &message, int code = 0);
    int code() const { return m_code; }
    static IoError fileNotFound(const QString &path);
    static IoError cannotWrite(const QString &path, const QString &reason);
    static IoError cannotRead(const QString &path, const QString &reason);

private:
    int m_code;
};

// The database refused a statement or could not be opened.
class DatabaseError : public Error {
public:
    using Error::Error;
};

// A table that would not fit in memory (too many tickets).
class CapacityError : public Error {
public:
    using Error::Error;
};

// Parses a whole decimal number the way every reader of this program does: blanks around it
// are allowed, anything else (empty text, letters, overflow of 32 bits) is a ConversionError.
int ToInteger(const QString &text);

// A whole number typed into a box that takes lowest or more (a count, a number of periods):
// text that is no whole number is the ConversionError of ToInteger(); a smaller number is an
// InputError with the given message, or "请输入不小于lowest的整数！" when none is given.
int ToIntegerAtLeast(const QString &text, int lowest, const QString &message = QString());

} // namespace lumaro
