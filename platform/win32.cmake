# Win32 implementation of the platform seam, and its tests.
set(PLATFORM_WIN32_SOURCES)
set(PLATFORM_WIN32_TESTS)
