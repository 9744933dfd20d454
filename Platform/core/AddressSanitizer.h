#pragma once

// Defines VEXMIRA_ADDRESS_SANITIZER in builds checked by AddressSanitizer
// (and so by its leak checker). GCC announces it with a macro, clang only
// through __has_feature.
#if defined(__SANITIZE_ADDRESS__)
#define VEXMIRA_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VEXMIRA_ADDRESS_SANITIZER 1
#endif
#endif
