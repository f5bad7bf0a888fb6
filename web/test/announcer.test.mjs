// What the screen-reader mode reads, without a browser: the game's output
// as it arrives in chunks of bytes, decoded and reduced to the lines still on
// a screen of `rows` rows.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { screenToRead } from '../announcer.js';
import { outputDecoder } from '../game.js';

const bytes = (text) => new TextEncoder().encode(text);
const clear = (count) => '\n'.repeat(count);
const e = new TextEncoder().encode('ë');
// [what, chunks of output, rows, lines read]
const Cases = [
  ['lines without the blank ones', ['Menu\n\nYour Choice: '], 5, ['Menu', 'Your Choice:']],
  ['a clear drops what was before', [`Old\n${clear(5)}New\n`], 5, ['New']],
  ['fewer blank lines than rows keep it', [`Old\n${clear(4)}New\n`], 5, ['Old', 'New']],
  ['only the last of two clears counts', [`A\n${clear(5)}B\n${clear(6)}C`], 5, ['C']],
  ['CRLF line ends', ['One\r\nTwo\r\n'], 5, ['One', 'Two']],
  ['colour escapes are not read', ['\x1b[92mBob\x1b[0m deals 3\n'], 5, ['Bob deals 3']],
  ['a title (OSC) is not read', ['\x1b]0;Brawlarium\x07Menu\n'], 5, ['Menu']],
  ['trailing spaces go', ['D. Fight \n'], 5, ['D. Fight']],
  ['a character split across two writes reads whole', [Uint8Array.of(0x5a, 0x6f, e[0]), Uint8Array.of(e[1], 0x0a)], 5, ['Zoë']],
  ['a three-byte character split in three', [Uint8Array.of(0xe2), Uint8Array.of(0x80), Uint8Array.of(0xa6)], 5, ['…']],
  ['an unfinished character at the end reads as a terminal shows it', [Uint8Array.of(0x41, 0xc3)], 5, ['A\uFFFD']],
];

test('the screen read out is the game\'s last screen, as plain lines', () => {
  for (const [what, chunks, rows, read] of Cases) {
    const decode = outputDecoder();
    let text = chunks.map((chunk) => decode(typeof chunk === 'string' ? bytes(chunk) : chunk)).join('');
    text += decode(new Uint8Array(0), false);
    assert.deepEqual(screenToRead(text, rows), read, what);
  }
});
