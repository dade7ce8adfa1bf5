# The command line, help without a browser, the frame log.
