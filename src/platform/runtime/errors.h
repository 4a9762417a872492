#pragma once
// The runtime's exception classes. Messages are Windows-1252 text, shown to the
// user by the application's default handler (except EAbort, which is silent).
#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }
    std::string Message;
};

// Text that is not a number, an integer or a date: "'x' não é um número válido" and the like.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A file that cannot be opened, read or written.
// Reason is the why alone ("o disco está cheio"), for callers that name the
// file their own way.
class EInOutError : public Exception {
public:
    explicit EInOutError(std::string message, int errorCode = 0, std::string reason = {})
        : Exception(std::move(message)), ErrorCode(errorCode), Reason(std::move(reason)) {}
    int ErrorCode;
    std::string Reason;
};
class EFOpenError : public EInOutError {
public:
    using EInOutError::EInOutError;
};
class EFCreateError : public EInOutError {
public:
    using EInOutError::EInOutError;
};
// A file that was read but is not what it should be (a NUL byte in a text,
// a line that does not read): the message names the file and the line.
class EDamagedFile : public EInOutError {
public:
    using EInOutError::EInOutError;
};

// Streams: bytes that are not there to read, or that cannot be written. The
// picture streams and the grids' descriptions share these classes.
class EStreamError : public Exception {
public:
    using Exception::Exception;
};
class EReadError : public EStreamError {
public:
    EReadError() : EStreamError("Stream read error") {}
    explicit EReadError(std::string message) : EStreamError(std::move(message)) {}
};
class EWriteError : public EStreamError {
public:
    EWriteError() : EStreamError("Stream write error") {}
};

// Ends the current event handler and shows nothing.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
};

class EMathError : public Exception {
public:
    using Exception::Exception;
};
class EZeroDivide : public EMathError {
public:
    EZeroDivide() : EMathError("Floating point division by zero") {}
};
class EInvalidOp : public EMathError {
public:
    EInvalidOp() : EMathError("Invalid floating point operation") {}
};
class EOverflow : public EMathError {
public:
    EOverflow() : EMathError("Floating point overflow") {}
};

// A value outside an allowed range (spin and number edits).
class ERangeError : public Exception {
public:
    using Exception::Exception;
};

// An index outside a string list: "List index out of bounds (<n>)".
class EStringListError : public Exception {
public:
    using Exception::Exception;
};

// Throws EAbort.
[[noreturn]] void Abort();
