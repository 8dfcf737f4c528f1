#!/usr/bin/python3
"""A loopback HTTPS server standing in for the document server, for tests and by hand.

Listens on 127.0.0.1 on a free port, prints the port on the first line of its output and serves
until its standard input is closed (or it is interrupted). Every request is recorded in the --out
folder, numbered in the order received: NNNN.req holds the request line and the header lines as
they came, NNNN.body the body bytes (written as they arrive, so a large upload never sits in
memory).

  https_peer.py --out DIR [--cert C --key K] [--status N] [--text T] [--drip]

Without --cert/--key a self-signed certificate for 127.0.0.1 is made with openssl into
DIR/cert.pem (trust it through "CertificadosCA" of Envio.ini). Every request is answered with
--status (200) and --text ("OK") as the body; with --drip the answer goes two bytes every half
second, a kilobyte of blanks after the text, so a client waits for minutes on a server that never
stands still.
"""

import argparse
import http.server
import os
import ssl
import subprocess
import sys
import threading
import time


def make_handler(out, status, text, drip):
    counter = {"n": 0}
    lock = threading.Lock()

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_POST(self):
            with lock:
                counter["n"] += 1
                base = os.path.join(out, "%04d" % counter["n"])
            with open(base + ".req.part", "wb") as f:
                f.write(self.requestline.encode("latin-1") + b"\r\n")
                f.write(self.headers.as_bytes())
            remaining = int(self.headers.get("Content-Length", "0"))
            with open(base + ".body", "wb") as f:
                while remaining > 0:
                    chunk = self.rfile.read(min(remaining, 1 << 20))
                    if not chunk:
                        break
                    f.write(chunk)
                    remaining -= len(chunk)
            os.replace(base + ".req.part", base + ".req")
            body = text.encode("utf-8")
            if drip:
                body += b" " * 1024
                answer = ("HTTP/1.1 %d OK\r\nContent-Length: %d\r\n\r\n"
                          % (status, len(body))).encode("latin-1") + body
                try:
                    for i in range(0, len(answer), 2):
                        self.wfile.write(answer[i:i + 2])
                        self.wfile.flush()
                        time.sleep(0.5)
                except OSError:
                    pass
                self.close_connection = True
                return
            self.send_response(status)
            self.send_header("Content-Type", "text/plain; charset=utf-8")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        do_GET = do_POST

        def log_message(self, format, *args):
            pass

    return Handler


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--out", required=True)
    p.add_argument("--cert")
    p.add_argument("--key")
    p.add_argument("--status", type=int, default=200)
    p.add_argument("--text", default="OK")
    p.add_argument("--drip", action="store_true")
    a = p.parse_args()
    os.makedirs(a.out, exist_ok=True)
    cert, key = a.cert, a.key
    if not cert:
        cert = os.path.join(a.out, "cert.pem")
        key = os.path.join(a.out, "key.pem")
        subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt",
                        "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", key, "-out", cert,
                        "-days", "2", "-subj", "/CN=127.0.0.1",
                        "-addext", "subjectAltName=IP:127.0.0.1"],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0),
                                             make_handler(a.out, a.status, a.text, a.drip))
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    print(server.server_address[1], flush=True)
    try:
        sys.stdin.read()
    except KeyboardInterrupt:
        pass
    server.shutdown()


if __name__ == "__main__":
    main()
