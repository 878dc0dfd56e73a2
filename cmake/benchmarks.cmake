# Benchmarks (native only, not run by the tests).
