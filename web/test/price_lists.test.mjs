// Which chosen file is which price list, and how the page names them to
// the game and to the player, without a browser.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { chooseLists, listOptions, listsInUse } from '../price_lists.js';

const Refused = (text) => ({ refusal: text });
// [what, chosen file names, the lists by kind or the refusal, in use, options]
const Cases = [
  ['the sample names', ['weaponlist.txt', 'armorlist.txt'], { weapon: 'weaponlist.txt', armor: 'armorlist.txt' },
    'your weaponlist.txt and armorlist.txt', ['--weapon-list=weaponlist.txt', '--armor-list=armorlist.txt']],
  ['British spelling, capitals', ['Armour.txt'], { armor: 'Armour.txt' },
    'your Armour.txt with the sample weaponlist.txt', ['--weapon-list=weaponlist.txt', '--armor-list=Armour.txt']],
  ['a browser\'s second download', ['Weapons (2).txt'], { weapon: 'Weapons (2).txt' },
    'your Weapons (2).txt with the sample armorlist.txt', ['--weapon-list=Weapons (2).txt', '--armor-list=armorlist.txt']],
  ['a name that says what it is used as', ['bad-weaponlist.txt'], { weapon: 'bad-weaponlist.txt' },
    'your bad-weaponlist.txt with the sample armorlist.txt', ['--weapon-list=bad-weaponlist.txt', '--armor-list=armorlist.txt']],
  ['none', [], {}, 'the sample price lists', []],
  ['two weapon lists', ['weaponlist (1).txt', 'weaponlist.txt'],
    Refused('"weaponlist (1).txt" and "weaponlist.txt" are both weapon lists: choose only one of them.')],
  ['a file that is neither', ['weaponlist.txt', 'notes.txt'],
    Refused('"notes.txt" is not a price list: choose weaponlist.txt, armorlist.txt or both ' +
      '(any file whose name says weapon or armor).')],
];

test('chosen files become the weapon and the armor list by their names', () => {
  for (const [what, names, expected, inUse, options] of Cases) {
    const chosen = chooseLists(names.map((name) => ({ name })));
    if (expected.refusal) {
      assert.deepEqual(chosen, expected, what);
      continue;
    }
    assert.deepEqual(Object.fromEntries([...chosen.lists].map(([kind, file]) => [kind, file.name])), expected, what);
    assert.equal(listsInUse(chosen.lists), inUse, what);
    assert.deepEqual(listOptions(chosen.lists), options, what);
  }
});
