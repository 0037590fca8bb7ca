"""A real FTP server on a loopback address, for the tests, the demo and the benchmark.

The fetch tool always connects to port 21, so each server takes its own
loopback address (127.0.0.N) and binding needs root. Names in commands are
taken as code page 932, the clients' encoding.

As a program it serves until killed; the password comes from the
environment (FTP_PASSWORD), never from the command line:

    FTP_PASSWORD=... python3 ftpserver.py --address 127.0.0.2 --root DIR --user eudc
"""

import argparse
import logging
import os
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FileProducer, FTPHandler
from pyftpdlib.servers import FTPServer

PORT = 21


class _CuttingFile:
    """A file that stops after `limit` bytes; the server then drops the client."""

    def __init__(self, file, limit, handler, server):
        self.file = file
        self.limit = limit
        self.handler = handler
        self.server = server
        self.sent = 0

    def read(self, size):
        if self.sent >= self.limit:
            self.server.cut.set()
            # Lets a test look at the client while it waits mid-transfer.
            self.server.resume.wait(30)
            self.handler.close()
            return b""
        data = self.file.read(min(size, self.limit - self.sent))
        self.sent += len(data)
        return data

    def __getattr__(self, name):
        return getattr(self.file, name)


class _Handler(FTPHandler):
    server_state = None  # the LoopbackFtpServer, set per server class

    def decode(self, data):
        return data.decode("cp932", self.unicode_errors)

    def on_connect(self):
        self.server_state.connections += 1

    def pre_process_command(self, line, cmd, arg):
        # The password is never kept, not even by the test's own record.
        self.server_state.commands.append((cmd, "******" if cmd == "PASS" else arg))
        return super().pre_process_command(line, cmd, arg)

    def push_dtp_data(self, data, isproducer=False, file=None, cmd=None):
        limit = self.server_state.cut_after
        if cmd == "RETR" and limit is not None:
            data = FileProducer(_CuttingFile(file, limit, self, self.server_state),
                                self._current_type)
        return super().push_dtp_data(data, isproducer, file, cmd)


class LoopbackFtpServer:
    """One FTP server on address:21 serving root to one account."""

    def __init__(self, address, root, user, password, cut_after=None):
        self.address = address
        self.commands = []
        self.connections = 0
        self.cut_after = cut_after
        self.cut = threading.Event()
        self.resume = threading.Event()
        if cut_after is None:
            self.resume.set()
        authorizer = DummyAuthorizer()
        authorizer.add_user(user, password, str(root), perm="elr")
        handler = type("Handler", (_Handler,), {
            "server_state": self, "authorizer": authorizer, "banner": "Glyph test server ready.",
            # A cut needs the bytes to pass through the file's read().
            "use_sendfile": cut_after is None})
        self.server = FTPServer((address, PORT), handler)
        # Warnings only: left without a handler, the server's first loop
        # would set one up that reports every session.
        logger = logging.getLogger("pyftpdlib")
        if not logger.handlers and not logging.root.handlers:
            logger.addHandler(logging.StreamHandler())
        logger.setLevel(logging.WARNING)
        self.thread = None
        self._stopping = False

    def commands_named(self, name):
        return [arg for cmd, arg in self.commands if cmd == name]

    def _serve(self):
        while not self._stopping:
            self.server.ioloop.loop(0.05, blocking=False)
        self.server.close_all()

    def start(self):
        self.thread = threading.Thread(target=self._serve, daemon=True)
        self.thread.start()
        return self

    def stop(self):
        self._stopping = True
        self.resume.set()
        if self.thread is not None:
            self.thread.join(10)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--address", required=True)
    parser.add_argument("--root", required=True)
    parser.add_argument("--user", required=True)
    args = parser.parse_args()
    logging.basicConfig(level=logging.INFO, stream=sys.stdout, format="%(message)s")
    server = LoopbackFtpServer(args.address, args.root, args.user, os.environ["FTP_PASSWORD"])
    logging.getLogger("pyftpdlib").setLevel(logging.INFO)
    server.server.serve_forever()


if __name__ == "__main__":
    main()
