// The mark of the library's public interface. The library is built with every
// symbol hidden (-fvisibility=hidden); the declarations in its installed
// headers carry RIVO_API, which puts them, and only them, in the shared
// library's symbol table. A program that includes the headers sees the same
// attribute, which changes nothing for it.
#pragma once

#if defined(__GNUC__) || defined(__clang__)
#define RIVO_API [[gnu::visibility("default")]]
#else
// Without the attribute elsewhere: every symbol is public.
#define RIVO_API
#endif
