// The framework's exceptions. Everything the framework raises derives from
// Exception; the application object shows any that reaches the message loop.
#pragma once

#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

#define GANTREL_EXCEPTION(Name, Base)      \
    class Name : public Base {             \
    public:                                \
        using Base::Base;                  \
    }

GANTREL_EXCEPTION(EConvertError, Exception);      // a value that cannot be converted or assigned
GANTREL_EXCEPTION(EListError, Exception);         // an index outside a list
GANTREL_EXCEPTION(EReadError, Exception);         // a form resource that cannot be read
GANTREL_EXCEPTION(EComponentError, Exception);    // duplicate or invalid component names
GANTREL_EXCEPTION(EInvalidOperation, Exception);  // an operation a control cannot do in its state
GANTREL_EXCEPTION(EInvalidGraphic, Exception);    // bitmap data the graphics cannot read
GANTREL_EXCEPTION(EThread, Exception);
GANTREL_EXCEPTION(EPrinter, Exception);

// A failed platform call, with the platform's own text for its error code.
class EOSError : public Exception {
public:
    EOSError(const std::string& message, unsigned long code) : Exception(message), ErrorCode(code) {}
    unsigned long ErrorCode;
};

// No exception may cross a platform callback (window procedures, hooks,
// timers): every callback catches and hands the exception here, inside its
// catch block. The application object installs the handler that shows it.
void HandleCallbackException();
// Returns the handler it replaces, so that a caller can put it back.
using TCallbackExceptionHandler = void (*)(const std::exception& e);
TCallbackExceptionHandler SetCallbackExceptionHandler(TCallbackExceptionHandler handler);

// Raises EOSError for GetLastError() with the platform's error text; what
// names the operation that failed.
[[noreturn]] void RaiseLastOSError(const std::string& what);
