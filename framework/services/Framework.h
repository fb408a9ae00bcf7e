// Starting and ending the framework as a whole: the first and the last
// thing a program does.
#pragma once

// The application and screen objects, and every framework class that form
// resources may name.
void InitFramework();
// The application (with its forms), the clipboard and the printer.
void DoneFramework();
