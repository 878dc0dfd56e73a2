# The Windows lanes: the program itself, and running tests under Wine.
