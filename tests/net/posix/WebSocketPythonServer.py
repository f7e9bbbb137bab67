"""A real WebSocket server for the client tests, on 127.0.0.1.

Prints "port N", then one line per event: "connect <path>",
"text <hex>", "binary <hex>", "pong", "closed <code>".
Takes commands on stdin, one per line: "send <hex>", "sendparts <hex> <hex>...",
"ping <hex>", "close <code>", "quit".
"""
import asyncio
import sys
import threading

import websockets

clients = set()


def say(line):
    sys.stdout.write(line + "\n")
    sys.stdout.flush()


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
        for line in sys.stdin:
            if line.strip() == "quit":
                break
            asyncio.run_coroutine_threadsafe(command(line), loop).result()
        loop.call_soon_threadsafe(done.set_result, None)

    async with websockets.serve(serve_one, "127.0.0.1", port, ping_interval=None) as server:
        say("port " + str(server.sockets[0].getsockname()[1]))
        threading.Thread(target=read_commands, daemon=True).start()
        await done


asyncio.run(main(int(sys.argv[1]) if len(sys.argv) > 1 else 0))
