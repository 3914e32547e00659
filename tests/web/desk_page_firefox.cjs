// The desk's page in Debian's Firefox ESR, driven over WebDriver BiDi by puppeteer-core (which
// set-up installs; NODE_PATH finds it), opened from disk: the paths an agent takes that differ
// most between browsers. What the page says must be what quorin-id says of the same input.
// Usage: node desk_page_firefox.cjs QUORIN-DESK.HTML QUORIN-ID; ends with "firefox: N ran, ...".
'use strict';
const assert = require('node:assert/strict');
const { execFileSync, spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const puppeteer = require('puppeteer-core');

const [page, quorinId] = process.argv.slice(2).map((p) => path.resolve(p));
const C = '161674CC-2A1E-11B2-A85C-E121881D01B9', C_ID = '2RB79K1A3R8V5A2WW4GRG781Q4';
const A = '12345678-9ABC-DEF0-1234-56789ABCDEF0', B = '12345678-9ABD-1EF0-1234-56789ABCDEF0';
const A_ID = '28T5CY4TQKFF04HMASW9NF6YY0';
const inventory = Buffer.from('Host,Owner,UUID\n' + `pc-a,Ann,${A}\npc-b,Bob,${B}\npc-c,Cy,${C}\n`, 'utf16le');
const utf16 = Buffer.concat([Buffer.from([0xff, 0xfe]), inventory]);
const said = (args, input) =>
  spawnSync(quorinId, args, { input }).stderr.toString().split('\n').map((l) => l.replace(/^quorin-id: /, ''));

const tests = {
  async 'typing either form, a refusal, a caller found despite a misread character, an ambiguity'(tab, file) {
    await tab.type('#typed', A_ID.toLowerCase());
    assert.equal(await tab.$eval('#other', (e) => e.textContent), A);
    await tab.$eval('#typed', (e) => { e.value = ''; });
    await tab.type('#typed', C_ID.slice(0, -2) + 'U4');
    assert.equal(await tab.$eval('#why', (e) => e.textContent), said([C_ID.slice(0, -2) + 'U4'])[0]);
    await (await tab.$('#file')).uploadFile(file);
    await tab.waitForFunction(() => document.getElementById('column').value === '3');
    const typed = C_ID.slice(0, 24) + 'B' + C_ID.slice(25);
    await tab.type('#caller', typed);
    await tab.waitForFunction(() => document.querySelectorAll('#found-table tbody tr').length);
    const difference = said(['--find', typed, '--csv', '3'], utf16).find((l) => l.startsWith('row 4: '));
    assert.deepEqual(await rows(tab), [['4', difference.slice(7), 'pc-c', 'Cy', C]]);
    await tab.$eval('#caller', (e) => { e.value = ''; });
    await tab.type('#caller', A_ID.slice(0, 9) + 'N' + A_ID.slice(10));
    await tab.waitForFunction(() => document.getElementById('found-says').className === 'ambiguous');
    assert.deepEqual((await rows(tab)).map((r) => r[2]), ['pc-a', 'pc-b']);
  },

  async 'the saved inventory is what quorin-id writes, and no request is made'(tab, file) {
    await (await tab.$('#file')).uploadFile(file);
    await tab.waitForFunction(() => document.getElementById('column').value === '3');
    await tab.click('#save');
    const saved = path.join(path.dirname(file), 'machines-support-ids.csv');
    // Firefox makes the file empty first, then writes a .part beside it and moves it over.
    while (!fs.existsSync(saved) || fs.existsSync(saved + '.part') || !fs.statSync(saved).size) {
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
    assert.deepEqual(fs.readFileSync(saved), execFileSync(quorinId, ['--csv', '3'], { input: utf16 }));
    assert.deepEqual(tab.requests.filter((url) => url !== 'file://' + page), []);
    assert.deepEqual(await tab.evaluate(() => window.violations), []);
  },
};

async function rows(tab) {
  return tab.$$eval('#found-table tbody tr', (trs) =>
    trs.map((tr) => Array.from(tr.cells, (td) => td.textContent)));
}

(async () => {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'desk-firefox-'));
  const file = path.join(folder, 'machines.csv');
  fs.writeFileSync(file, utf16);
  const browser = await puppeteer.launch({
    browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: true,
    extraPrefsFirefox: {
      'intl.accept_languages': 'en', 'browser.download.folderList': 2, 'browser.download.dir': folder,
      'browser.download.useDownloadDir': true, 'browser.download.always_ask_before_handling_new_types': false,
      'browser.helperApps.neverAsk.saveToDisk': 'text/csv',
    },
  });
  let ran = 0, failed = 0;
  for (const [name, test] of Object.entries(tests)) {
    const tab = await browser.newPage();
    tab.requests = [];
    tab.on('request', (request) => tab.requests.push(request.url()));
    await tab.evaluateOnNewDocument(() => {
      window.violations = [];
      document.addEventListener('securitypolicyviolation', (e) => window.violations.push(e.blockedURI));
    });
    try {
      await tab.goto('file://' + page);
      await tab.waitForSelector('body[data-ready]');
      await test(tab, file);
      console.log(`ok: ${name}`);
    } catch (error) {
      failed += 1;
      console.log(`FAIL: ${name}: ${error.stack}`);
    }
    ran += 1;
    await tab.close();
  }
  await browser.close();
  fs.rmSync(folder, { recursive: true });
  console.log(`firefox: ${ran} ran, ${failed} failed, 0 skipped`);
  process.exit(failed ? 1 : 0);
})();
