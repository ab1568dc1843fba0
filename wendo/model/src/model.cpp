// Command model sources live beside this file.
