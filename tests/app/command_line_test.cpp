// The editor's own command line, run as a process.
