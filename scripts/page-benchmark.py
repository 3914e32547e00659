#!/usr/bin/python3
"""The desk's page at speed, in headless Chromium, against its targets: a conversion shown within
one frame (16 ms) of the keystroke; a 1,000,000-row inventory read and the caller found in under
2 s; the page's memory at 1,000,000 rows within 64 MB of that at 100,000 rows.
Usage: page-benchmark.py QUORIN-DESK.HTML FOLDER-FOR-THE-INVENTORIES"""
import os
import random
import statistics
import sys
import uuid

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

PAGE, FOLDER = (os.path.abspath(p) for p in sys.argv[1:3])
ALPHABET = '0123456789ABCDEFGHJKMNPQRSTVWXYZ'
MB = 1 << 20


def support_id(machine):
    """The support ID of a UUID, written here apart from the page's code: 130 bits, base 32."""
    bits = int.from_bytes(machine.bytes, 'big') << 2
    return ''.join(ALPHABET[(bits >> (5 * (25 - i))) & 31] for i in range(26))


def inventory(rows):
    """An inventory of rows machines, some 100 bytes a row; the caller's is the last but one."""
    path = os.path.join(FOLDER, f'inventory-{rows}.csv')
    generator = random.Random(rows)
    machines = [uuid.UUID(int=generator.getrandbits(128)) for _ in range(2)]
    caller = machines[0]
    if not os.path.exists(path):
        with open(path + '.part', 'w', encoding='utf-8', newline='') as f:
            f.write('Name,Serial,Model,UUID,Owner,Location\r\n')
            for i in range(rows):
                machine = uuid.UUID(int=generator.getrandbits(128)) if i != rows - 2 else caller
                f.write(f'PC-{i:07d},SN{i * 7919 % 10**9:09d},Quorin Desk 3{i % 10},'
                        f'{str(machine).upper()},user{i % 5000}@example.com,Floor {i % 12}\r\n')
        os.rename(path + '.part', path)
    return path, support_id(caller)


def browser():
    options = webdriver.ChromeOptions()
    for argument in ('--headless=new', '--no-sandbox', '--disable-dev-shm-usage',
                     '--enable-precise-memory-info', '--js-flags=--expose-gc'):
        options.add_argument(argument)
    driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
    driver.get('file://' + PAGE)
    WebDriverWait(driver, 20).until(
        lambda d: d.find_element(By.TAG_NAME, 'body').get_attribute('data-ready'))
    return driver


def keystrokes(driver):
    """Each keystroke's time to its conversion drawn, to after the next frame, and the number of
    keystrokes whose next paint came later than 16 ms after them (the browser's Event Timing)."""
    driver.execute_script("""
        window.timing = [];
        window.late = [];
        new PerformanceObserver((list) => late.push(...list.getEntries()
          .filter((e) => e.name === 'keydown').map((e) => e.duration)))
          .observe({ type: 'event', durationThreshold: 16 });
        const after = new MessageChannel();
        let pending = [];
        after.port1.onmessage = () => {
          const now = performance.now();
          for (const [stamp, drawn] of pending) timing.push([drawn, now - stamp]);
          pending = [];
        };
        document.getElementById('typed').addEventListener('input', (event) => {
          pending.push([event.timeStamp, performance.now() - event.timeStamp]);
          requestAnimationFrame(() => after.port2.postMessage(0));
        });""")
    field = driver.find_element(By.ID, 'typed')
    for _ in range(4):
        field.clear()
        for key in '28T5CY4TQKFF04HMASW9NF6YY0':
            field.send_keys(key)
    assert driver.find_element(By.ID, 'other').text == '12345678-9ABC-DEF0-1234-56789ABCDEF0'
    return driver.execute_script('return [timing, late.filter((d) => d > 16)]')


def search(driver, path, typed):
    """Seconds from choosing the inventory to its columns, then from the ID to the caller's row
    found; and the page's memory then, in bytes."""
    driver.execute_script("""
        window.marks = {};
        const column = document.getElementById('column');
        new MutationObserver(() => { marks.opened = marks.opened || performance.now(); })
          .observe(column, { childList: true });
        document.getElementById('file').addEventListener('change',
          () => { marks.chosen = performance.now(); });""")
    cpu = cpu_seconds(driver)
    driver.find_element(By.ID, 'file').send_keys(path)
    WebDriverWait(driver, 60).until(lambda d: d.execute_script('return marks.opened'))
    driver.execute_script("""
        const says = document.getElementById('found-says');
        new MutationObserver(() => {
          if (says.textContent && says.textContent !== 'Searching…') marks.found = performance.now();
        }).observe(says, { childList: true, characterData: true, subtree: true });
        const caller = document.getElementById('caller');
        caller.value = arguments[0];
        marks.typed = performance.now();
        caller.dispatchEvent(new Event('input'));""", typed)
    WebDriverWait(driver, 120).until(lambda d: d.execute_script('return marks.found'))
    says = driver.find_element(By.ID, 'found-says').text
    assert 'One misread character away' in says, says
    marks = driver.execute_script('gc(); return marks')
    cpu = [after - before for after, before in zip(cpu_seconds(driver), cpu)]
    return ((marks['opened'] - marks['chosen']) / 1000, (marks['found'] - marks['typed']) / 1000,
            renderer_memory(driver), cpu)


def browser_processes(driver):
    """The browser's processes, as (pid, command line)."""
    children = {}
    for pid in filter(str.isdigit, os.listdir('/proc')):
        try:
            with open(f'/proc/{pid}/stat', encoding='utf-8') as f:
                children.setdefault(int(f.read().rsplit(')', 1)[1].split()[1]), []).append(int(pid))
        except OSError:
            continue
    descendants, todo = [], [driver.service.process.pid]
    while todo:
        found = children.get(todo.pop(), [])
        descendants += found
        todo += found
    processes = []
    for pid in descendants:
        try:
            with open(f'/proc/{pid}/cmdline', 'rb') as f:
                processes.append((pid, f.read()))
        except OSError:
            continue
    return processes


def renderer_memory(driver):
    """The resident memory of the page's process: the largest renderer the browser started."""
    sizes = []
    for pid, command in browser_processes(driver):
        if b'--type=renderer' not in command:
            continue
        try:
            with open(f'/proc/{pid}/status', encoding='utf-8') as f:
                sizes += [int(line.split()[1]) * 1024 for line in f if line.startswith('VmRSS:')]
        except OSError:
            continue
    return max(sizes, default=0)


def cpu_seconds(driver):
    """The processor time the browser's processes have had, all of them and its renderers, in
    seconds: on a busy host, what the work takes where the wall clock also counts the waits for a
    processor."""
    ticks = [0, 0]
    for pid, command in browser_processes(driver):
        try:
            with open(f'/proc/{pid}/stat', encoding='utf-8') as f:
                fields = f.read().rsplit(')', 1)[1].split()
        except OSError:
            continue
        ticks[0] += int(fields[11]) + int(fields[12])
        ticks[1] += (int(fields[11]) + int(fields[12])) * (b'--type=renderer' in command)
    return [t / os.sysconf('SC_CLK_TCK') for t in ticks]


def main():
    os.makedirs(FOLDER, exist_ok=True)
    failed = False

    def verdict(ok):
        nonlocal failed
        failed = failed or not ok
        return 'met' if ok else 'NOT MET'

    driver = browser()
    timing, late = keystrokes(driver)
    driver.quit()
    drawn = sorted(t[0] for t in timing)
    frame = sorted(t[1] for t in timing)
    # The conversion is drawn in the key's own task: done within a frame's 16 ms, the next frame
    # shows it. When that frame comes depends on when in the frame the key came, so the times to
    # it, and the browser's own count of keys painted later than 16 ms after, are told as seen.
    print(f'conversion as typed, {len(timing)} keystrokes: drawn {statistics.median(drawn):.2f} ms '
          f'median, {drawn[-1]:.2f} ms at most (target: within 16 ms, so that the next frame shows '
          f'it): {verdict(drawn[-1] <= 16)}; after the next frame {statistics.median(frame):.2f} '
          f'ms median, {frame[-1]:.2f} ms at most; keys painted later than 16 ms after them, by the '
          f"browser's Event Timing: {len(late)}")

    figures = {}
    for rows in (100_000, 1_000_000):
        path, caller = inventory(rows)
        typed = caller[:24] + ('B' if caller[24] != 'B' else 'C') + caller[25]
        driver = browser()
        figures[rows] = search(driver, path, typed)
        driver.quit()
        opened, found, memory, cpu = figures[rows]
        print(f'{rows:>9,} rows ({os.path.getsize(path) / MB:.0f} MB): columns in {opened:.3f} s, '
              f'caller found (one character misread) in {found:.3f} s, together {opened + found:.3f} s '
              f'(processor time meanwhile {cpu[0]:.2f} s, {cpu[1]:.2f} s of it the page\'s);'
              f' the page\'s process then {memory / MB:.1f} MB resident')
    total = sum(figures[1_000_000][:2])
    print(f'1,000,000 rows read and the caller found in {total:.3f} s (target: under 2 s): '
          f'{verdict(total < 2)}')
    growth = figures[1_000_000][2] - figures[100_000][2]
    print(f'memory at 1,000,000 rows minus at 100,000: {growth / MB:+.1f} MB (target: within 64 MB): '
          f'{verdict(abs(growth) <= 64 * MB)}')
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
