// Framework stand-ins live beside this file.
