#!/usr/bin/env python3
"""A publisher's signing of archives, on openssl (no cryptography here).

    publisher_sign.py key KEY.pem
        makes an ECDSA P-256 key pair in KEY.pem (private: keep it away from
        the repository) unless the file exists, and prints its public key as
        the installer's build option QELMO_PUBLISHER_KEYS takes it
    publisher_sign.py sign KEY.pem ARCHIVE... [--name NAME]
        writes ARCHIVE.sig beside each archive: the signature of the
        archive's SHA-256 followed by its file name (the name the installer
        saves it under; by default the archive's own), in GBK

A .sig file is one DER-encoded ECDSA-Sig-Value, as `openssl dgst -sha256
-sign` writes it, of the SHA-256 of that message.
"""
import argparse
import hashlib
import os
import subprocess
import sys

# What a P-256 public key's SubjectPublicKeyInfo holds before its point:
# id-ecPublicKey, prime256v1, and the bit string's header.
P256_PUBLIC_PREFIX = bytes.fromhex("3059301306072a8648ce3d020106082a8648ce3d030107034200")


def openssl(*args, data=None):
    return subprocess.run(["openssl", *args], input=data, stdout=subprocess.PIPE, check=True).stdout


def make_key(path):
    """The key pair in `path`, made unless it is there."""
    if not os.path.exists(path):
        os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
        old_mask = os.umask(0o077)
        try:
            openssl("genpkey", "-algorithm", "EC", "-pkeyopt", "ec_paramgen_curve:P-256", "-out", path + ".new")
        finally:
            os.umask(old_mask)
        os.replace(path + ".new", path)
    return public_key(path)


def public_key(path):
    """The uncompressed point ("04", X, Y) in hexadecimal."""
    der = openssl("pkey", "-in", path, "-pubout", "-outform", "DER")
    if len(der) != len(P256_PUBLIC_PREFIX) + 65 or not der.startswith(P256_PUBLIC_PREFIX):
        raise SystemExit("%s: not an ECDSA P-256 key" % path)
    return der[len(P256_PUBLIC_PREFIX):].hex()


def signed_message(archive_sha256, name):
    return archive_sha256 + name.encode("gbk")


def sign_digest(key_path, archive_sha256, name):
    """The .sig of an archive with this SHA-256, saved under `name`."""
    public_key(key_path)  # refuses any other kind of key
    return openssl("dgst", "-sha256", "-sign", key_path, data=signed_message(archive_sha256, name))


def file_sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for piece in iter(lambda: f.read(1 << 20), b""):
            digest.update(piece)
    return digest.digest()


def write_signature(key_path, archive, name=None):
    signature = sign_digest(key_path, file_sha256(archive), name or os.path.basename(archive))
    with open(archive + ".sig.new", "wb") as out:
        out.write(signature)
    os.replace(archive + ".sig.new", archive + ".sig")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    key = commands.add_parser("key", help="make a key pair (unless there) and print its public key")
    key.add_argument("key")
    sign = commands.add_parser("sign", help="write ARCHIVE.sig for each archive")
    sign.add_argument("key")
    sign.add_argument("archives", nargs="+")
    sign.add_argument("--name", help="the file name the installer saves the archive under")
    args = parser.parse_args()
    if args.command == "key":
        print(make_key(args.key))
    else:
        if args.name and len(args.archives) > 1:
            parser.error("--name goes with one archive")
        for archive in args.archives:
            write_signature(args.key, archive, args.name)
    return 0


if __name__ == "__main__":
    sys.exit(main())
