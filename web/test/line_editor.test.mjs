// The line editor without a browser: what each typed chunk sends to the game
// and echoes, on a screen whose cursor is at `column` of 80.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { LineEditor } from '../line_editor.js';

const Up = '\x1b[A\x1b[80G\x1b[K';
// [what, typed chunks, cursor column, lines sent, echo, input ended]
const Cases = [
  ['CR is Enter', ['ab\r'], 1, ['ab\n'], 'ab\r\n', false],
  ['LF is Enter', ['ab\n'], 1, ['ab\n'], 'ab\r\n', false],
  ['CRLF is one Enter', ['ab\r\n'], 1, ['ab\n'], 'ab\r\n', false],
  ['CR and LF in two chunks are two', ['ab\r', '\n'], 1, ['ab\n', '\n'], 'ab\r\n\r\n', false],
  ['several lines typed ahead wait in order', ['a\rb c\r'], 1, ['a\n', 'b c\n'], 'a\r\nb c\r\n', false],
  ['Backspace erases one character', ['abx\x7fc\r'], 1, ['abc\n'], 'abx\b \bc\r\n', false],
  ['Ctrl-H is Backspace', ['ab\bc\r'], 1, ['ac\n'], 'ab\b \bc\r\n', false],
  ['Backspace at the start of a wrapped row erases the row above\'s last', ['ab\x7f'], 0, [], `ab${Up}`, false],
  ['Backspace on an empty line does nothing', ['\x7f\r'], 1, ['\n'], '\r\n', false],
  ['Ctrl-U erases the line', ['abc\x15d\r'], 1, ['d\n'], 'abc\b \b\b \b\b \bd\r\n', false],
  ['Ctrl-D on an empty line ends the input', ['\x04'], 1, [''], '', true],
  ['Ctrl-D on a half-typed line sends it without a line end', ['ab\x04'], 1, ['ab'], 'ab', false],
  ['escape sequences (arrows, function keys) are no text', ['\x1b[A', 'a\r'], 1, ['a\n'], 'a\r\n', false],
  ['a Tab is a space', ['a\tb\r'], 1, ['a b\n'], 'a b\r\n', false],
  ['letters beyond ASCII are UTF-8', ['Zoë\r'], 1, ['Zoë\n'], 'Zoë\r\n', false],
];

test('the line editor sends and echoes what a terminal in line mode would', () => {
  const decoder = new TextDecoder();
  for (const [what, chunks, column, sent, echo, ended] of Cases) {
    let shown = '';
    const editor = new LineEditor({ write: (text) => { shown += text; }, cursorX: () => column, columns: () => 80 });
    for (const chunk of chunks) editor.edit(chunk);
    assert.deepEqual(editor.lines.map((bytes) => decoder.decode(bytes)), sent, what);
    assert.equal(shown, echo, what);
    assert.equal(editor.inputEnded, ended, what);
  }
});

test('a question asked before the line is typed gets it, and after the end of input an empty one', async () => {
  const editor = new LineEditor({ write: () => {}, cursorX: () => 1, columns: () => 80 });
  const asked = editor.nextLine();
  assert.equal(editor.waiting, true);
  editor.edit('q\r');
  assert.deepEqual(await asked, new TextEncoder().encode('q\n'));
  editor.edit('\x04');
  assert.equal((await editor.nextLine()).length, 0);
  assert.equal((await editor.nextLine()).length, 0);
});
