// Operating-system services live beside this file.
