#!/usr/bin/python3
"""The desk's page in headless Chromium, opened from disk, each test a whole path an agent takes.
What the page says of an ID or an inventory must be what quorin-id says of it.
Usage: desk_page_test.py QUORIN-DESK.HTML QUORIN-ID; ends with a line "browser: N ran, ..."."""
import functools
import http.server
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import unittest

PAGE, QUORIN_ID = (os.path.abspath(p) for p in sys.argv[1:3])
A, A_ID = '12345678-9ABC-DEF0-1234-56789ABCDEF0', '28T5CY4TQKFF04HMASW9NF6YY0'
B = '12345678-9ABD-1EF0-1234-56789ABCDEF0'  # support ID A_ID with an M for the K at 10
C, C_ID = '161674CC-2A1E-11B2-A85C-E121881D01B9', '2RB79K1A3R8V5A2WW4GRG781Q4'
INVENTORY = ('\ufeffHost,Owner,UUID\r\npc-a,Ann,' + A + '\r\npc-b,"Bob, ""B""",' + B +
             '\r\npc-c,Cy,' + C + '\r\npc-d,Dee,not a UUID\r\n').encode()

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.ui import WebDriverWait
    WHY_NOT = None if shutil.which('chromium') and shutil.which('chromedriver') else \
        'chromium or chromedriver is not installed'
except ImportError:
    WHY_NOT = "Debian's python3-selenium is not installed"


def quorin_id(*args, data=b''):
    done = subprocess.run([QUORIN_ID, *args], input=data, capture_output=True, check=False)
    return done.stdout, [line.removeprefix('quorin-id: ') for line in done.stderr.decode().splitlines()]


class Page(unittest.TestCase):
    language = 'en'

    def setUp(self):
        self.folder = tempfile.mkdtemp()
        self.inventory = os.path.join(self.folder, 'machines.csv')
        with open(self.inventory, 'wb') as f:
            f.write(INVENTORY)
        options = webdriver.ChromeOptions()
        for argument in ('--headless=new', '--no-sandbox', '--disable-dev-shm-usage',
                         '--lang=' + self.language, '--window-size=1280,900'):
            options.add_argument(argument)
        options.add_experimental_option('prefs', {'intl.accept_languages': self.language})
        options.set_capability('goog:loggingPrefs', {'performance': 'ALL', 'browser': 'ALL'})
        self.driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'),
                                       options=options)
        self.driver.execute_cdp_cmd('Browser.setDownloadBehavior',
                                    {'behavior': 'allow', 'downloadPath': self.folder})
        self.driver.get('file://' + PAGE)
        self.wait(lambda: self.driver.find_element(By.TAG_NAME, 'body').get_attribute('data-ready'))

    def tearDown(self):
        self.driver.quit()
        shutil.rmtree(self.folder)

    def wait(self, condition):
        return WebDriverWait(self.driver, 20).until(lambda _: condition())

    def element(self, name):
        return self.driver.find_element(By.ID, name)

    def type_into(self, name, text):
        self.element(name).clear()
        self.element(name).send_keys(text)

    def find(self, typed):
        self.type_into('caller', typed)
        self.wait(lambda: self.element('found-says').text not in ('', 'Searching…'))
        rows = self.driver.find_elements(By.CSS_SELECTOR, '#found-table tbody tr')
        return self.element('found-says').text, [[c.text for c in r.find_elements(By.TAG_NAME, 'td')]
                                                 for r in rows]


@unittest.skipIf(WHY_NOT, WHY_NOT)
class DeskPage(Page):

    def test_typing_either_form_shows_the_other_at_once_or_why_not(self):
        for typed, other, grouped in (('28t5 cy4t-qkff o4hm asw9 nf6y y0', A, None),
                                      ('{' + C.lower() + '}', C_ID, '2RB7 9K1A 3R8V 5A2W W4GR G781 Q4')):
            self.type_into('typed', typed)
            self.assertEqual(self.element('other').text, other)  # no wait: drawn on the keystroke
            if grouped:
                self.assertEqual(self.element('grouped').text, grouped)
        refused = C_ID[:-2] + 'U4'
        self.type_into('typed', refused)
        self.assertEqual(self.element('why').text, quorin_id(refused)[1][0])
        self.assertFalse(self.element('other-line').is_displayed())

    def test_the_caller_is_found_despite_a_reading_error_and_never_guessed_between_two(self):
        self.element('file').send_keys(self.inventory)
        self.wait(lambda: self.element('column').get_attribute('value') == '3')  # guessed
        self.assertEqual([option.text for option in self.driver.find_elements(
            By.CSS_SELECTOR, '#column option')], ['1: Host', '2: Owner', '3: UUID'])
        self.assertEqual(self.find(C_ID), ('The caller’s machine:', [['pc-c', 'Cy', C]]))
        for error, typed in (('replaced', C_ID[:24] + 'B' + C_ID[25:]),
                             ('swapped', C_ID[:2] + C_ID[3] + C_ID[2] + C_ID[4:]),
                             ('left out', C_ID[:5] + C_ID[6:]),
                             ('added', C_ID[:12] + 'X' + C_ID[12:])):
            with self.subTest(error=error):
                says, rows = self.find(typed)
                said = quorin_id('--find', typed, '--csv', '3', data=INVENTORY)[1]
                self.assertEqual(says, 'No machine has this support ID. One misread character away:')
                difference = next(line for line in said if line.startswith('row 4: '))
                self.assertEqual(rows, [['4', difference[7:], 'pc-c', 'Cy', C]])
        says, rows = self.find(A_ID[:9] + 'N' + A_ID[10:])
        self.assertTrue(says.startswith('Ambiguous'), says)
        self.assertEqual([row[2:] for row in rows], [['pc-a', 'Ann', A], ['pc-b', 'Bob, "B"', B]])

    def test_a_column_is_never_taken_for_want_of_a_better_one(self):
        paths = {}
        for name, data in (('placeholder', 'Host,UUID\r\npc-0,FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF\r\n'
                            'pc-a,' + A + '\r\n'), ('empty', ''), ('unnamed', 'Host,Serial\r\npc-a,S1\r\n')):
            paths[name] = os.path.join(self.folder, name + '.csv')
            with open(paths[name], 'w', encoding='utf-8') as f:
                f.write(data)
        self.element('file').send_keys(paths['placeholder'])
        self.wait(lambda: self.element('column').get_attribute('value') == '2')  # by its name
        self.assertEqual(self.find(A_ID), ('The caller’s machine:', [['pc-a', A]]))
        self.element('file').send_keys(paths['empty'])
        self.wait(lambda: self.element('found-says').text.startswith('The file cannot be read'))
        self.assertFalse(self.element('found-table').is_displayed())
        self.element('file').send_keys(paths['unnamed'])
        self.wait(lambda: self.element('found-says').text == 'Choose the column with the UUIDs.')
        self.assertEqual(self.element('column').get_attribute('value'), '')

    def test_each_encoding_is_searched_and_saved_as_quorin_id_writes(self):
        utf16 = INVENTORY.decode('utf-8-sig').replace('\r\n', '\r').encode('utf-16')
        for name, inventory in (('utf8', INVENTORY), ('utf16', utf16)):
            with self.subTest(encoding=name):
                path = os.path.join(self.folder, name + '.csv')
                with open(path, 'wb') as f:
                    f.write(inventory)
                self.element('file').send_keys(path)
                self.wait(lambda: self.element('column').get_attribute('value') == '3')
                self.assertEqual(self.find(C_ID)[1], [['pc-c', 'Cy', C]])
                self.element('save').click()
                saved = os.path.join(self.folder, name + '-support-ids.csv')
                self.wait(lambda: os.path.exists(saved) and self.element('saved').text.startswith('Saved'))
                with open(saved, 'rb') as f:
                    self.assertEqual(f.read(), quorin_id('--csv', '3', data=inventory)[0])
                self.type_into('caller', '')

    def test_no_request_leaves_the_page(self):
        self.driver.execute_script("window.violations = [];"
                                   "document.addEventListener('securitypolicyviolation',"
                                   " (e) => violations.push(e.blockedURI));")
        self.type_into('typed', A_ID)
        self.element('file').send_keys(self.inventory)
        self.find(C_ID[:24] + 'B' + C_ID[25:])
        self.element('save').click()
        self.wait(lambda: self.element('saved').text.startswith('Saved'))
        requests = [entry['message'] for entry in self.driver.get_log('performance')
                    if '"Network.requestWillBeSent"' in entry['message']]
        self.assertEqual([r for r in requests if '"url":"file://' + PAGE not in r
                          and '"url":"blob:' not in r], [])
        self.assertEqual(self.driver.execute_script('return violations'), [])

    def test_a_static_server_serves_it_alike(self):
        asked = []

        class Handler(http.server.SimpleHTTPRequestHandler):
            def log_message(self, *args):
                asked.append(self.path)
        handler = functools.partial(Handler, directory=os.path.dirname(PAGE))
        with http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler) as server:
            threading.Thread(target=server.serve_forever, daemon=True).start()
            self.driver.get(f'http://127.0.0.1:{server.server_port}/{os.path.basename(PAGE)}')
            self.wait(lambda: self.driver.find_element(By.TAG_NAME, 'body').get_attribute('data-ready'))
            self.type_into('typed', C_ID)
            self.assertEqual(self.element('other').text, C)
            server.shutdown()
        self.assertEqual(asked, ['/' + os.path.basename(PAGE)])

    def test_keyboard_alone_finds_the_caller_and_saves(self):
        def press(*keys):
            ActionChains(self.driver).send_keys(*keys).perform()
            return self.driver.switch_to.active_element.get_attribute('id')
        self.assertEqual(press(Keys.TAB), 'typed')  # from the page's start
        press(C)
        self.assertEqual([press(Keys.TAB), press(Keys.TAB)], ['copy', 'file'])
        self.element('file').send_keys(self.inventory)  # the file chooser is the system's
        self.wait(lambda: not self.element('caller').get_property('disabled'))
        self.assertEqual([press(Keys.TAB), press(Keys.TAB)], ['column', 'caller'])
        press(C_ID)
        self.wait(lambda: self.element('found-says').text == 'The caller’s machine:')
        self.assertEqual([press(Keys.TAB), press(Keys.TAB)], ['found-table', 'save'])
        press(Keys.ENTER)
        self.wait(lambda: self.element('saved').text.startswith('Saved'))
        for name in ('typed', 'file', 'column', 'caller', 'copy', 'save', 'found-table'):
            self.assertTrue(self.element(name).accessible_name, name)
        self.assertEqual(self.element('found').get_attribute('aria-live'), 'polite')


@unittest.skipIf(WHY_NOT, WHY_NOT)
class DeskPageInJapanese(Page):
    """Japanese texts, the browser's dark colour scheme and 200% zoom: everything still fits."""
    language = 'ja'

    def test_japanese_dark_and_zoomed(self):
        self.driver.execute_cdp_cmd('Emulation.setEmulatedMedia', {
            'features': [{'name': 'prefers-color-scheme', 'value': 'dark'}]})
        self.driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
            'width': 640, 'height': 450, 'deviceScaleFactor': 2, 'mobile': False})
        self.type_into('typed', A_ID)
        self.assertEqual(self.element('other').text, A)
        self.assertEqual(self.driver.title, 'Quorin サポート窓口')
        self.assertEqual(self.driver.execute_script(
            'return getComputedStyle(document.body).backgroundColor'), 'rgb(18, 18, 18)')
        self.assertLessEqual(*self.driver.execute_script(
            'return [document.documentElement.scrollWidth, document.documentElement.clientWidth]'))


if __name__ == '__main__':
    result = unittest.main(argv=sys.argv[:1] + sys.argv[3:], exit=False, verbosity=2).result
    failed = len(result.failures) + len(result.errors)
    print(f'browser: {result.testsRun - len(result.skipped)} ran, {failed} failed, '
          f'{len(result.skipped)} skipped' + (f' ({result.skipped[0][1]})' if result.skipped else ''))
    sys.exit(1 if failed else 0)
