# Where the windows open, and remembering it between runs.
