"""A real WebSocket server for the client tests, on 127.0.0.1.

    WebSocketPythonServer.py PORT CONTROL-PORT

PORT 0 takes a free port. The server connects to CONTROL-PORT on 127.0.0.1
and reports there, one line each: "port N" once it listens (or
"unavailable <why>"), then "connect <path>", "text <hex>", "binary <hex>",
"pong", "closed <code>". It takes commands there, one per line:
"send <hex>", "sendparts <hex> <hex>...", "ping <hex>", "close <code>",
"quit". It ends on "quit" or when the control connection ends, and closes
that connection last, once its listener is closed.
"""
import asyncio
import os
import socket
import sys
import threading

control = socket.create_connection(("127.0.0.1", int(sys.argv[2])))
control_lock = threading.Lock()


def say(line):
    with control_lock:
        control.sendall((line + "\n").encode("ascii"))


try:
    import websockets
except ImportError:
    say("unavailable /usr/bin/python3 has no websockets package")
    sys.exit(0)

clients = set()


async def serve_one(ws, path=None):
    clients.add(ws)
    say("connect " + ws.path)
    try:
        async for message in ws:
            if isinstance(message, str):
                say("text " + message.encode("utf-8", "surrogateescape").hex())
            else:
                say("binary " + message.hex())
    except websockets.ConnectionClosed:
        pass
    finally:
        clients.discard(ws)
        say("closed " + str(ws.close_code))


async def command(line):
    parts = line.split()
    if not parts:
        return
    name, args = parts[0], parts[1:]
    for ws in list(clients):
        if name == "send":
            await ws.send(bytes.fromhex(args[0] if args else "").decode("utf-8"))
        elif name == "sendparts":
            await ws.send([bytes.fromhex(a).decode("utf-8") for a in args])
        elif name == "ping":
            waiter = await ws.ping(bytes.fromhex(args[0]))
            await waiter
            say("pong")
        elif name == "close":
            await ws.close(int(args[0]), "bye")


async def main(port):
    loop = asyncio.get_running_loop()
    done = loop.create_future()

    def read_commands():
        for line in control.makefile("r", encoding="ascii", newline="\n"):
            if line.strip() == "quit":
                break
            asyncio.run_coroutine_threadsafe(command(line), loop).result()
        # A server that cannot close in time must still end: the test may
        # have no way to end it.
        threading.Timer(5, os._exit, args=(1,)).start()
        loop.call_soon_threadsafe(done.set_result, None)

    async with websockets.serve(serve_one, "127.0.0.1", port, ping_interval=None) as server:
        say("port " + str(server.sockets[0].getsockname()[1]))
        threading.Thread(target=read_commands, daemon=True).start()
        await done


asyncio.run(main(int(sys.argv[1])))
control.close()
os._exit(0)
