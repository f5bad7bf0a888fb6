// The player's price lists: the files chosen with the button or dropped on
// the page, which is which list by its name (weaponlist.txt,
// "Weapons (2).txt", Armour.txt...), and how a game gets
// them: each file under its own name in a folder of its own, named to the
// game by --weapon-list or --armor-list, so that the game's refusal and the
// check name the player's file; a list not chosen is the built-in sample.
// A file's name decides its kind, so a player's file never bears the other
// list's sample name.

export const Kinds = ['weapon', 'armor'];
export const SampleNames = { weapon: 'weaponlist.txt', armor: 'armorlist.txt' };
// Where the player's files are, in each instance's file system.
const Folder = '/lists';

export function kindOf(fileName) {
  const lower = fileName.toLowerCase();
  if (lower.includes('weapon')) return 'weapon';
  if (/armou?r/.test(lower)) return 'armor';
  return null;
}

// The files ([{ name }]) by kind, or why they cannot be the lists.
export function chooseLists(files) {
  const lists = new Map();
  for (const file of files) {
    const kind = kindOf(file.name);
    if (kind === null) {
      return { refusal: `"${file.name}" is not a price list: choose ${SampleNames.weapon}, ${SampleNames.armor} ` +
        'or both (any file whose name says weapon or armor).' };
    }
    if (lists.has(kind)) {
      return { refusal: `"${lists.get(kind).name}" and "${file.name}" are both ${kind} lists: choose only one of them.` };
    }
    lists.set(kind, file);
  }
  return { lists };
}

// "your weaponlist.txt with the sample armorlist.txt", or what else is in use.
export function listsInUse(lists) {
  const [weapons, armors] = Kinds.map((kind) => lists.get(kind)?.name);
  if (weapons && armors) return `your ${weapons} and ${armors}`;
  if (weapons) return `your ${weapons} with the sample ${SampleNames.armor}`;
  if (armors) return `your ${armors} with the sample ${SampleNames.weapon}`;
  return 'the sample price lists';
}

// The chosen files read, by kind ({ name, bytes }), or why they cannot be
// the lists.
export async function readLists(files) {
  const { lists, refusal } = chooseLists(files);
  if (refusal) return { refusal };
  const read = new Map();
  for (const [kind, file] of lists) read.set(kind, { name: file.name, bytes: new Uint8Array(await file.arrayBuffer()) });
  return { lists: read };
}

// The files the player chooses with the button or drops on the page go to
// onFiles([File]).
export function takeListFiles(button, fileInput, onFiles) {
  button.addEventListener('click', () => fileInput.click());
  fileInput.addEventListener('change', () => {
    onFiles([...fileInput.files]);
    fileInput.value = '';
  });
  document.addEventListener('dragover', (event) => {
    event.preventDefault();
    document.body.classList.add('dropping');
  });
  document.addEventListener('dragleave', () => document.body.classList.remove('dropping'));
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    document.body.classList.remove('dropping');
    onFiles([...event.dataTransfer.files]);
  });
}

// The options that name the lists ({ name, bytes } by kind) to the game: a
// list not chosen is the sample under its own name beside the other.
export function listOptions(lists) {
  if (lists.size === 0) return [];
  return Kinds.map((kind) => `--${kind}-list=${lists.get(kind)?.name ?? SampleNames[kind]}`);
}

// Before the game starts: the files in their folder, the working folder,
// with a copy of the sample (from the module's `sampleFolder`) of a list
// not chosen, so that a report names it as the player knows it.
export function listWriter(lists, sampleFolder) {
  return (module) => {
    if (lists.size === 0) return;
    module.FS.mkdir(Folder);
    for (const kind of Kinds) {
      const bytes = lists.get(kind)?.bytes ?? module.FS.readFile(`${sampleFolder}/${SampleNames[kind]}`);
      module.FS.writeFile(`${Folder}/${lists.get(kind)?.name ?? SampleNames[kind]}`, bytes);
    }
    module.FS.chdir(Folder);
  };
}
