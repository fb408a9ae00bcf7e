#include "Exceptions.h"

#include <windows.h>

void RaiseLastOSError(const std::string& what)
{
    DWORD code = GetLastError();
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string message = what + ": " + (text ? text : ("error " + std::to_string(code)));
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
    throw EOSError(message, code);
}

namespace {
void DefaultCallbackExceptionHandler(const std::exception& e)
{
    MessageBoxA(nullptr, e.what(), "Error", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}
void (*CallbackExceptionHandler)(const std::exception&) = DefaultCallbackExceptionHandler;
}  // namespace

TCallbackExceptionHandler SetCallbackExceptionHandler(TCallbackExceptionHandler handler)
{
    TCallbackExceptionHandler previous = CallbackExceptionHandler;
    CallbackExceptionHandler = handler ? handler : DefaultCallbackExceptionHandler;
    return previous;
}

void HandleCallbackException()
{
    // Nothing may leave here: the caller is a callback of the platform.
    try {
        try {
            throw;
        } catch (const std::exception& e) {
            CallbackExceptionHandler(e);
        } catch (...) {
            CallbackExceptionHandler(Exception("Unknown exception"));
        }
    } catch (...) {
    }
}
