#!/usr/bin/env python3
"""Drive the bus through a running GetKelo console (or `getkelo-cli serve`).

Standard library only. Usage:
    python3 docs/automation_example.py [--socket PATH] [--address A] [--setpoint VALUE]

Lists the console's devices, sends a setpoint to one controller, then prints the flow of
every tick for ten ticks.
"""
import argparse
import json
import os
import socket
import sys


def default_socket():
    runtime = os.environ.get("XDG_RUNTIME_DIR")
    if runtime:
        return os.path.join(runtime, "getkelo", "console.sock")
    config = os.environ.get("XDG_CONFIG_HOME") or os.path.expanduser("~/.config")
    return os.path.join(config, "getkelo", "console.sock")


class Console:
    """One connection: requests get answers by id, pushed ticks are kept for later."""

    def __init__(self, path):
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(path)
        self.file = self.sock.makefile("rw", encoding="utf-8", newline="\n")
        self.next_id = 1
        self.ticks = []

    def request(self, op, **fields):
        request_id = self.next_id
        self.next_id += 1
        self.file.write(json.dumps(dict(fields, id=request_id, op=op)) + "\n")
        self.file.flush()
        while True:
            message = json.loads(self.file.readline())
            if "event" in message:
                self.ticks.append(message)
            elif message.get("id") == request_id:
                if not message["ok"]:
                    raise RuntimeError("%s: %s" % (message["error"]["code"],
                                                   message["error"]["text"]))
                return message["result"]

    def next_tick(self):
        if self.ticks:
            return self.ticks.pop(0)
        while True:
            message = json.loads(self.file.readline())
            if "event" in message:
                return message


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--socket", default=default_socket())
    parser.add_argument("--address", type=int, default=1)
    parser.add_argument("--setpoint", default="30")
    args = parser.parse_args()

    console = Console(args.socket)
    for device in console.request("list")["devices"]:
        print("%3d  %-10s %-8s %8s %-8s generation %d" % (
            device["address"], device["serial"], device["gas"], device["range"],
            device["unit"], device["generation"]))

    console.request("setpoint", address=args.address, value=args.setpoint)
    console.request("subscribe", address=args.address)
    for _ in range(10):
        tick = console.next_tick()
        for values in tick["devices"]:
            if "error" in values:
                print("address %d: %s" % (values["address"], values["error"]))
            elif values.get("flow") is not None:
                print("address %d: flow %s %s, setpoint %s" % (
                    values["address"], values["flow"], values["unit"], values["setpoint"]))
    console.request("unsubscribe")
    return 0


if __name__ == "__main__":
    sys.exit(main())
