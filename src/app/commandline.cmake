# The command line, the help window and the frame log.
