// The page draws what quorin-id's code, compiled in above, answers, and hands it what the agent
// types and the inventory's bytes. No rule of the IDs or of the inventory lives here.
'use strict';
(() => {
  const texts = {
    en: {
      title: 'Quorin support desk', convertHeading: 'Support ID and UUID',
      typedLabel: 'Support ID or UUID', copy: 'Copy', copied: 'Copied',
      copyByHand: 'Selected: press Ctrl+C',
      grouped: 'Read back as', uuid: 'UUID:', supportId: 'Support ID:',
      inventoryHeading: 'Find the caller in an inventory',
      inventoryHelp: 'Choose or drop a CSV export of the machines. It is read here, in this page, and sent nowhere.',
      fileLabel: 'Inventory (CSV)', columnLabel: 'Column with the UUIDs',
      chooseColumn: 'Choose the column with the UUIDs.',
      callerLabel: 'Support ID the caller reads', save: 'Save the inventory with support IDs',
      unreadable: 'The file cannot be read, or it has no header.', searching: 'Searching…',
      found: 'The caller’s machine:', near: 'No machine has this support ID. One misread character away:',
      ambiguous: 'Ambiguous: several machines are one misread character away. Ask the caller to read the ID again.',
      none: 'No machine in the inventory has this support ID, nor one a misread character away.',
      row: 'Row', differs: 'What differs', cut: '(cut)',
      notAllRead: 'Not every row could be searched (listed below): the machine may be among them.',
      moreUncounted: 'More rows, not shown.', saving: 'Saving…', savedAs: 'Saved as',
      savedRefused: '(some rows were refused, each listed below, with an empty support ID).',
      failed: 'The inventory could not be read.',
      moreRows: (n) => `${n} more rows, not shown.`, leftOut: (n) => `${n} more lines, not shown.`,
    },
    ja: {
      title: 'Quorin サポート窓口', convertHeading: 'サポート ID と UUID',
      typedLabel: 'サポート ID または UUID', copy: 'コピー', copied: 'コピーしました',
      copyByHand: '選択しました: Ctrl+C を押してください',
      grouped: '読み上げ', uuid: 'UUID:', supportId: 'サポート ID:',
      inventoryHeading: '台帳から問い合わせの PC を探す',
      inventoryHelp: 'PC の CSV 台帳を選ぶか、ここにドロップしてください。このページの中だけで読み、どこにも送りません。',
      fileLabel: '台帳 (CSV)', columnLabel: 'UUID の列',
      chooseColumn: 'UUID の列を選んでください。',
      callerLabel: 'お客様が読み上げたサポート ID', save: 'サポート ID の列を加えた台帳を保存',
      unreadable: 'ファイルを読めないか、見出しの行がありません。', searching: '検索中…',
      found: 'お客様の PC:', near: 'このサポート ID の PC はありません。1 文字の読み違いで一致する PC:',
      ambiguous: '特定できません: 1 文字の読み違いで一致する PC が複数あります。もう一度読み上げてもらってください。',
      none: 'このサポート ID の PC も、1 文字違いの PC も台帳にありません。',
      row: '行', differs: '違い', cut: '(省略)',
      notAllRead: '検索できなかった行があります (下に一覧します)。その中にこの PC があるかもしれません。',
      moreUncounted: 'ほかにも行があります (表示していません)。', saving: '保存中…', savedAs: '保存しました:',
      savedRefused: '(読めなかった行はサポート ID を空にしました。下に一覧します)。',
      failed: '台帳を読めませんでした。',
      moreRows: (n) => `ほかに ${n} 行 (表示していません)。`, leftOut: (n) => `ほかに ${n} 件 (表示していません)。`,
    },
  };
  const t = texts[/^ja\b/i.test(navigator.language) ? 'ja' : 'en'];
  const $ = (id) => document.getElementById(id);
  const show = (element, text) => { element.textContent = text; element.hidden = !text; };
  const list = (element, texts) => element.replaceChildren(...texts.map((text) => {
    const item = document.createElement('li');
    item.textContent = text;
    return item;
  }));

  document.documentElement.lang = t === texts.ja ? 'ja' : 'en';
  for (const element of document.querySelectorAll('[data-text]')) {
    element.textContent = t[element.dataset.text];
  }

  createDesk().ready.then((desk) => {
    const call = (name, ...args) => JSON.parse(desk.ccall(name, 'string', args.map(() => 'string'), args));
    const callAsync = async (name, ...args) =>
      JSON.parse(await desk.ccall(name, 'string', args.map(() => 'string'), args, { async: true }));

    // Converting as the agent types.
    const convert = () => {
      const answer = call('desk_convert', $('typed').value);
      $('other-line').hidden = !answer.ok;
      $('grouped-line').hidden = !answer.ok;
      show($('why'), answer.ok === false ? answer.why : '');
      if (answer.ok) {
        $('other-label').textContent = answer.isUuid ? t.uuid : t.supportId;
        $('other').value = answer.text;
        $('grouped').textContent = answer.grouped;
        $('copy').textContent = t.copy;
      }
    };
    $('typed').addEventListener('input', convert);
    // Where the browser keeps the clipboard from a page opened from disk, the text is selected
    // and copied as Ctrl+C would, or left selected for it.
    $('copy').addEventListener('click', async () => {
      const copied = await navigator.clipboard.writeText($('other').value).then(() => true, () => false) ||
        (getSelection().selectAllChildren($('other')), document.execCommand('copy'));
      $('copy').textContent = copied ? t.copied : t.copyByHand;
    });

    // One pass over the inventory at a time: a search asked for meanwhile runs after it.
    let busy = Promise.resolve();
    const queue = (work) => { busy = busy.then(work, work); return busy; };
    let wanted = 0;

    const cell = (row, tag, field) => {
      const element = document.createElement(tag);
      element.textContent = field.text + (field.cut ? ' ' + t.cut : '');
      if (tag === 'th') element.scope = 'col';
      row.append(element);
    };
    const drawFound = (answer) => {
      const table = document.createElement('table');
      const head = table.createTHead().insertRow();
      const near = answer.rows.some((row) => row.difference);
      if (near) cell(head, 'th', { text: t.row });
      if (near) cell(head, 'th', { text: t.differs });
      for (const name of answer.header) cell(head, 'th', name);
      const body = table.createTBody();
      for (const row of answer.rows) {
        const line = body.insertRow();
        if (near) cell(line, 'td', { text: String(row.row || '') });
        if (near) cell(line, 'td', { text: row.difference || '' });
        for (const field of row.fields) cell(line, 'td', field);
      }
      $('found-table').replaceChildren(table);
      $('found-table').hidden = answer.rows.length === 0;
      const ambiguous = answer.status === 4;
      $('found-says').className = ambiguous ? 'ambiguous' : '';
      $('found-says').textContent = ambiguous ? t.ambiguous : answer.exact ? t.found
        : answer.rows.length ? t.near : answer.status === 3 ? t.none : answer.status === 5 ? t.notAllRead
        : answer.status === 1 ? t.failed : answer.notes[0] || '';
      const notes = answer.status === 2 && !answer.rows.length ? answer.notes.slice(1) : answer.notes;
      if (answer.moreRows) notes.push(t.moreRows(answer.moreRows));
      if (answer.cut) notes.push(t.moreUncounted);
      list($('found-notes'), notes.map((note) => note || t.leftOut(answer.leftOut)));
    };
    const clearFound = (says) => {
      $('found-says').className = '';
      $('found-says').textContent = says;
      $('found-table').hidden = true;
      $('found-notes').replaceChildren();
    };
    const find = () => {
      const asked = ++wanted;
      queue(async () => {
        if (asked !== wanted) return;
        if (!$('caller').value.trim() || !$('column').value) {
          clearFound($('caller').value.trim() ? t.chooseColumn : '');
          return;
        }
        $('found-says').textContent = t.searching;
        desk.superseded = () => asked !== wanted;
        const answer = await callAsync('desk_find', $('caller').value, $('column').value);
        if (asked === wanted) drawFound(answer);
      });
    };
    $('caller').addEventListener('input', find);
    $('column').addEventListener('change', find);

    const open = (file) => queue(async () => {
      desk.inventory = file;
      desk.superseded = null;
      const answer = await callAsync('desk_open');
      const names = answer.ok ? answer.names : [];
      // No column is taken for want of a better one: where none is guessed, the agent picks.
      const options = names.map((name, i) =>
        new Option(`${i + 1}: ${name.text}`, String(i + 1), false, i === answer.guess));
      if (names.length && answer.guess === null) {
        const choose = new Option(t.chooseColumn, '', true, true);
        choose.disabled = true;
        options.unshift(choose);
      }
      $('column').replaceChildren(...options);
      for (const id of ['column', 'caller', 'save']) $(id).disabled = names.length === 0;
      // What the last inventory showed goes, whatever this one gives.
      ++wanted;
      clearFound(answer.ok ? '' : t.unreadable);
      $('saved').textContent = '';
      $('saved-notes').replaceChildren();
      if (answer.ok && $('caller').value) find();
    });
    $('file').addEventListener('change', () => $('file').files[0] && open($('file').files[0]));
    const section = $('inventory');
    section.addEventListener('dragover', (event) => {
      event.preventDefault();
      section.classList.add('dropping');
    });
    section.addEventListener('dragleave', () => section.classList.remove('dropping'));
    section.addEventListener('drop', (event) => {
      event.preventDefault();
      section.classList.remove('dropping');
      if (event.dataTransfer.files[0]) open(event.dataTransfer.files[0]);
    });

    $('save').addEventListener('click', () => queue(async () => {
      if (!$('column').value) {
        $('saved').textContent = t.chooseColumn;
        return;
      }
      $('saved').textContent = t.saving;
      desk.saved = [];
      desk.superseded = null;
      const answer = await callAsync('desk_save', $('column').value);
      const name = desk.inventory.name.replace(/(\.csv)?$/i, '-support-ids.csv');
      // Nothing written (an input without a header) is nothing to save: the reason is said.
      const written = answer.status !== 1 && desk.saved.length > 0;
      if (written) {
        const link = document.createElement('a');
        link.href = URL.createObjectURL(new Blob(desk.saved, { type: 'text/csv' }));
        link.download = name;
        link.click();
        setTimeout(() => URL.revokeObjectURL(link.href), 60000);
      }
      desk.saved = [];
      $('saved').textContent = answer.status === 1 ? t.failed : !written ? answer.notes[0]
        : t.savedAs + ' ' + name + (answer.status === 2 ? ' ' + t.savedRefused : '');
      const notes = written ? answer.notes : answer.notes.slice(1);
      list($('saved-notes'), notes.map((note) => note || t.leftOut(answer.leftOut)));
    }));

    convert();
    document.body.dataset.ready = 'yes';
  });
})();
