"""A loopback FTP server for the fetch tool's scenarios (pyftpdlib).

Run as a script it serves one folder to one account on port 21 of the
given address; FtpServer starts it in a process of its own and stops it.
Port 21 needs root, as the tool always uses the default port.
"""

import socket
import subprocess
import sys
import time
from pathlib import Path

PYTHON = "/usr/bin/python3"


class FtpServer:
    def __init__(self, address, folder, user, password):
        self.address, self.folder, self.user, self.password = address, folder, user, password

    def __enter__(self):
        self.process = subprocess.Popen(
            [PYTHON, __file__, self.address, str(self.folder), self.user, self.password],
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise RuntimeError(self.process.stderr.read().decode(errors="replace"))
            try:
                socket.create_connection((self.address, 21), timeout=1).close()
                return self
            except OSError:
                time.sleep(0.05)
        self.__exit__()
        raise RuntimeError(f"FTP server on {self.address} did not start")

    def __exit__(self, *exc):
        self.process.kill()
        self.process.wait(timeout=10)
        self.process.stderr.close()


def serve(address, folder, user, password):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer

    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, folder, perm="elr")
    handler = FTPHandler
    handler.authorizer = authorizer
    server = FTPServer((address, 21), handler)
    server.serve_forever()


if __name__ == "__main__":
    serve(sys.argv[1], str(Path(sys.argv[2])), sys.argv[3], sys.argv[4])
