# POSIX implementation of the platform seam, and its tests.
set(PLATFORM_POSIX_SOURCES)
set(PLATFORM_POSIX_TESTS)
