# The Windows build's tests.
