// Brio sources live beside this file, one file per group of functions.
