// The share link and the recording, without a browser: a game goes through
// a link whole, lists with it while they are small; links cut short,
// altered, too large or of the wrong shape are refused in the page's words
// before they are unpacked further; and a recording is asciicast v2.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { gzipSync } from 'node:zlib';
import { LongestLinkWithLists, readShareLink, shareLink, toBase64Url } from '../share_link.js';
import { Recording, asciicast } from '../recording.js';

const Rules = { mostKeyBytes: 1 << 20, mostHeaderBytes: 1024, longestPause: 60000 };
const Header = 'brawlarium save 1\ngenerator musl\nseed 7\nweapons fnv1a64:0\narmors fnv1a64:0\nkeys\n';
const Save = `${Header}a\na\nbob\n\nb\n`;
const list = (name, text) => ({ name, bytes: new TextEncoder().encode(text) });
const linkOf = (content) => `#game=${toBase64Url(gzipSync(typeof content === 'string' ? content : JSON.stringify(content)))}`;
const Damaged = 'This shared link does not read: it was cut short or altered';
const TooLarge = 'This shared link holds more than a game can';
const good = await shareLink({ save: Save, pause: '500', lists: new Map() });
// A link unpacking to more than any game, yet a small link.
const bomb = linkOf({ v: 1, pause: 0, save: Header + 'a\n'.repeat(3 << 20) });
// [what, link, refusal]
const Refused = [
  ['cut short', good.link.slice(0, -6), Damaged],
  ['one letter altered', good.link.slice(0, 30) + (good.link[30] === 'A' ? 'B' : 'A') + good.link.slice(31), Damaged],
  ['not base64url', '#game=ab$d', Damaged],
  ['not JSON', linkOf('brawlarium'), Damaged],
  ['a newer link', linkOf({ v: 2 }), 'This shared link comes from a newer page than this one'],
  ['no save file', linkOf({ v: 1, pause: 0, save: 'hello\n' }), Damaged],
  ['a pause past the longest', linkOf({ v: 1, pause: 60001, save: Save }), Damaged],
  ['a list of no kind', linkOf({ v: 1, pause: 0, save: Save, lists: { shield: { name: 'shield.txt', text: '' } } }), Damaged],
  ['a list named with a folder', linkOf({ v: 1, pause: 0, save: Save, lists: { weapon: { name: '../weapon.txt', text: '' } } }), Damaged],
  ['unpacking past the bound', bomb, TooLarge],
  ['longer than any link', `#game=${'A'.repeat(20 << 20)}`, TooLarge],
];

test('a game goes through its link whole, with the lists while they are small', async () => {
  assert.deepEqual(await readShareLink(good.link, Rules),
    { save: Save, header: Header, keys: ['a', 'a', 'bob', '', 'b'], seed: '7', pause: '500', lists: new Map(), listsLeftOut: false });
  const lists = new Map([['weapon', list('weapon<img src=x>.txt', 'Club;1;6;20;2;5\n')], ['armor', { name: 'armor.txt', bytes: Uint8Array.of(0xff, 0x3b) }]]);
  const carried = await shareLink({ save: Save, pause: '0', lists });
  assert.equal(carried.listsCarried, true);
  assert.deepEqual((await readShareLink(carried.link, Rules)).lists, lists);
  const large = new Map([['weapon', list('weapon.txt', crypto.getRandomValues(new Uint8Array(30000)).join(';'))]]);
  const without = await shareLink({ save: Save, pause: '0', lists: large });
  assert.ok(!without.listsCarried && without.link.length <= LongestLinkWithLists);
  assert.equal((await readShareLink(without.link, Rules)).listsLeftOut, true);
});

test('links cut, altered, too large or of the wrong shape are refused in the page\'s words', async () => {
  for (const [what, link, refusal] of Refused) assert.deepEqual(await readShareLink(link, Rules), { refusal }, what);
});

test('a recording is asciicast v2: its header, then its output with its times, as the terminal shows it', () => {
  let now = 1000;
  const recording = new Recording(() => now, () => 1733700000999);
  recording.add('Menu\nYour Choice: ');
  now = 3500.25;
  recording.add('a\r\n');
  recording.add('');
  assert.equal(recording.text(80, 24), '{"version":2,"width":80,"height":24,"timestamp":1733700000}\n' +
    '[0,"o","Menu\\r\\nYour Choice: "]\n[2.50025,"o","a\\r\\n"]\n');
  assert.equal(asciicast({ width: 1, height: 1, timestamp: 0, events: [] }), '{"version":2,"width":1,"height":1,"timestamp":0}\n');
});
