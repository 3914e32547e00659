#!/usr/bin/env python3
"""A throw-away RFC 3161 time-stamp authority on 127.0.0.1 only: answers with `openssl ts
-reply -config tsa.cnf` run in FOLDER, writes its port to FOLDER/port and stops after LIFETIME
seconds. Usage: tsa.py FOLDER LIFETIME"""
import http.server, os, subprocess, sys, threading

folder, lifetime = sys.argv[1], float(sys.argv[2])


class Handler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        reply = subprocess.run(["openssl", "ts", "-reply", "-config", "tsa.cnf", "-queryfile",
                                "/dev/stdin", "-out", "/dev/stdout"], cwd=folder, input=query,
                               capture_output=True)
        self.send_response(200 if reply.returncode == 0 else 500)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply.stdout)))
        self.end_headers()
        self.wfile.write(reply.stdout)


server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
threading.Timer(lifetime, server.shutdown).start()
with open(os.path.join(folder, "port.tmp"), "w") as f:
    f.write(str(server.server_port))
os.replace(os.path.join(folder, "port.tmp"), os.path.join(folder, "port"))
server.serve_forever()
