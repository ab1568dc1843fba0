// Tessel classes live beside this file.
