#!/usr/bin/python3
"""A widely used standard FTP server for interop tests: pyftpdlib on loopback, one account.

usage: pyftpdlib_server.py HOME USER PASSWORD

Prints "ftp 127.0.0.1:PORT" once it listens, then serves until its standard input closes.
Exits with status 3, naming the Debian package, when pyftpdlib is not installed.
"""

import logging
import os
import sys
import threading

try:
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer
except ImportError as error:
    print("missing python3-pyftpdlib (install the Debian package python3-pyftpdlib): %s"
          % error, flush=True)
    sys.exit(3)


def main():
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    home, user, password = sys.argv[1:]
    # Warnings only: a test's output stays readable.
    logging.basicConfig(level=logging.WARNING)
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, home, perm="elradfmwMT")
    handler = type("Handler", (FTPHandler,), {"authorizer": authorizer})
    server = FTPServer(("127.0.0.1", 0), handler)
    print("ftp 127.0.0.1:%d" % server.socket.getsockname()[1], flush=True)

    def stop_when_stdin_closes():
        sys.stdin.read()
        os._exit(0)

    threading.Thread(target=stop_when_stdin_closes, daemon=True).start()
    server.serve_forever(handle_exit=False)


if __name__ == "__main__":
    main()
