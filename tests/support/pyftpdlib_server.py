#!/usr/bin/python3
"""A widely used standard FTP server for interop tests: pyftpdlib on loopback, one account.

usage: pyftpdlib_server.py [--tls CERTFILE KEYFILE] HOME USER PASSWORD

With --tls it serves explicit FTP over TLS and forces it: USER before AUTH TLS and
transfers before PROT P are refused.
Prints "ftp 127.0.0.1:PORT" once it listens, then serves until its standard input closes.
Exits with status 3, naming the Debian package, when pyftpdlib (or, with --tls,
its TLS support) is not installed.
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


def tls_handler_base():
    # pyftpdlib only offers its TLS handler when pyOpenSSL imports.
    try:
        from pyftpdlib.handlers import TLS_DTPHandler, TLS_FTPHandler
    except ImportError as error:
        print("missing python3-openssl (install the Debian package python3-openssl): %s"
              % error, flush=True)
        sys.exit(3)

    class DataHandler(TLS_DTPHandler):
        # pyftpdlib closes a data connection that becomes readable before its transfer
        # command has arrived; a client that starts the TLS handshake as soon as it connects
        # (curl, lftp) makes it readable then. Let the handshake go on instead.
        def readable(self):
            return self._ssl_accepting or super().readable()

    return TLS_FTPHandler, DataHandler


def main():
    args = sys.argv[1:]
    tls = None
    if args[:1] == ["--tls"]:
        tls, args = args[1:3], args[3:]
    if len(args) != 3 or (tls is not None and len(tls) != 2):
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    home, user, password = args
    # Warnings only: a test's output stays readable.
    logging.basicConfig(level=logging.WARNING)
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, home, perm="elradfmwMT")
    attributes = {"authorizer": authorizer}
    base = FTPHandler
    if tls is not None:
        base, data_handler = tls_handler_base()
        attributes.update(dtp_handler=data_handler, certfile=tls[0], keyfile=tls[1],
                          tls_control_required=True, tls_data_required=True)
    handler = type("Handler", (base,), attributes)
    if tls is not None:
        # A certificate or key that cannot be used fails here, before the port is announced.
        context = handler.get_ssl_context()
        # Without a session id context OpenSSL fails every handshake in which the client
        # offers to resume a session, as careful clients do on each data connection.
        context.set_session_id(b"pyftpdlib-interop")
    server = FTPServer(("127.0.0.1", 0), handler)
    print("ftp 127.0.0.1:%d" % server.socket.getsockname()[1], flush=True)

    def stop_when_stdin_closes():
        sys.stdin.read()
        os._exit(0)

    threading.Thread(target=stop_when_stdin_closes, daemon=True).start()
    server.serve_forever(handle_exit=False)


if __name__ == "__main__":
    main()
