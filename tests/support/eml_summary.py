#!/usr/bin/python3
"""Prints one received .eml as JSON for the mail tests: decoded headers, and for each leaf part its
content type, file name, the text (text parts) or the SHA-256 and size of the bytes (others)."""

import email
import email.policy
import hashlib
import json
import sys

with open(sys.argv[1], "rb") as f:
    msg = email.message_from_binary_file(f, policy=email.policy.default)
out = {h: str(msg[h]) for h in ("From", "Reply-To", "To", "Subject", "Date") if msg[h] is not None}
out["content_type"] = msg.get_content_type()
parts = []
for part in msg.walk():
    if part.is_multipart():
        continue
    entry = {"type": part.get_content_type(), "filename": part.get_filename() or ""}
    if part.get_content_maintype() == "text" and not entry["filename"]:
        entry["text"] = part.get_content()
    else:
        data = part.get_payload(decode=True)
        entry["sha256"] = hashlib.sha256(data).hexdigest()
        entry["size"] = len(data)
    parts.append(entry)
out["parts"] = parts
print(json.dumps(out))
