#!/usr/bin/python3
"""A loopback SMTP server for the mail tests and for trying the sender by hand.

Listens on 127.0.0.1 on a free port, prints the port on the first line of its output and serves
until its standard input is closed (or it is interrupted). Every message accepted is written as
one .eml file (numbered in the order received) into the --out folder.

  smtp_peer.py --out DIR [--user U --password P] [--cert C --key K [--implicit-tls]]
               [--refuse ADDRESS]... [--refuse-data] [--no-auth-tls]

--cert/--key offer STARTTLS (or TLS from the start with --implicit-tls). --user/--password require
that login (AUTH PLAIN or LOGIN). --refuse answers 550 to that recipient; --refuse-data answers 554
to every message once its data is in. --no-auth-tls offers AUTH without TLS, like a careless
server.
"""

import argparse
import asyncio
import os
import ssl
import sys
import warnings

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


class Handler:
    def __init__(self, out, refused, refuse_data):
        self.out = out
        self.refused = {r.lower() for r in refused}
        self.refuse_data = refuse_data
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower() in self.refused:
            return "550 5.1.1 Destinatario rechazado: " + address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if self.refuse_data:
            return "554 5.7.1 Mensaje rechazado por el servidor"
        self.count += 1
        name = os.path.join(self.out, "%04d.eml" % self.count)
        with open(name + ".part", "wb") as f:
            f.write(envelope.content)
        # The envelope beside the message: sender and recipients as the client gave them.
        with open(name[:-4] + ".env", "w", encoding="utf-8") as f:
            f.write("MAIL FROM:%s\n" % envelope.mail_from)
            for r in envelope.rcpt_tos:
                f.write("RCPT TO:%s\n" % r)
            f.write("AUTH:%s\n" % (session.auth_data.login.decode()
                                   if session.authenticated and session.auth_data else ""))
            f.write("TLS:%s\n" % ("SI" if session.ssl is not None else "NO"))
        os.replace(name + ".part", name)
        return "250 Message accepted"


class Authenticator:
    def __init__(self, user, password):
        self.user = user.encode()
        self.password = password.encode()

    def __call__(self, server, session, envelope, mechanism, auth_data):
        if isinstance(auth_data, LoginPassword) and auth_data.login == self.user \
                and auth_data.password == self.password:
            return AuthResult(success=True, auth_data=auth_data)
        return AuthResult(success=False, handled=False)


def main():
    # TLS from the start already protects the login; the library cannot tell and warns.
    warnings.filterwarnings("ignore", message="Requiring AUTH while not requiring TLS")
    p = argparse.ArgumentParser()
    p.add_argument("--out", required=True)
    p.add_argument("--user")
    p.add_argument("--password")
    p.add_argument("--cert")
    p.add_argument("--key")
    p.add_argument("--implicit-tls", action="store_true")
    p.add_argument("--refuse", action="append", default=[])
    p.add_argument("--refuse-data", action="store_true")
    p.add_argument("--no-auth-tls", action="store_true")
    a = p.parse_args()
    os.makedirs(a.out, exist_ok=True)

    context = None
    if a.cert:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(a.cert, a.key)
    handler = Handler(a.out, a.refuse, a.refuse_data)
    kwargs = dict(hostname="peer.local", data_size_limit=None, auth_require_tls=False)
    if a.user is not None:
        kwargs["authenticator"] = Authenticator(a.user, a.password or "")
        kwargs["auth_required"] = True
        kwargs["auth_require_tls"] = not (a.no_auth_tls or a.implicit_tls)
    if context is not None and not a.implicit_tls:
        kwargs["tls_context"] = context

    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    server = loop.run_until_complete(loop.create_server(
        lambda: SMTP(handler, loop=loop, **kwargs), "127.0.0.1", 0,
        ssl=context if a.implicit_tls else None))
    print(server.sockets[0].getsockname()[1], flush=True)

    # Ends when whoever started it closes our standard input.
    loop.add_reader(sys.stdin.fileno(), lambda: loop.stop() if not os.read(
        sys.stdin.fileno(), 4096) else None)
    try:
        loop.run_forever()
    except KeyboardInterrupt:
        pass
    server.close()


if __name__ == "__main__":
    main()
