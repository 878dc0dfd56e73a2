# The Windows program Packwright.exe and its end-to-end tests under Wine.
