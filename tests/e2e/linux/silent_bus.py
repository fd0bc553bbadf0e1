#!/usr/bin/env python3
"""A session bus that takes connections and never answers, as a stopped or wedged bus daemon
does: every connection is kept open and never read. Prints "ready" once it listens, and
"connection" at each connection.

Usage: silent_bus.py SOCKET
"""

import socket
import sys

server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
server.bind(sys.argv[1])
server.listen(16)
print("ready", flush=True)
held = []
while True:
    held.append(server.accept()[0])
    print("connection", flush=True)
